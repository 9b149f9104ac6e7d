#include "ui/menubar/FilteredEntries.h"

#include "base/Utf8Text.h"
#include "text/CanonicalText.h"

#include <algorithm>

namespace {

// The query in its lower-cased, composed form, and as UTF-8 bytes when that
// is plain ASCII.
struct Needle {
    QString text;
    std::optional<QByteArray> ascii;
};

bool isAscii(QByteArrayView bytes)
{
    return std::ranges::all_of(bytes, [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

bool matches(const ClipboardEntry &entry, const Needle &needle, const SearchTextOpener &open)
{
    if (!entry.encryptedSearchText)
        return false;
    std::optional<QByteArray> opened = open(*entry.encryptedSearchText);
    if (!opened)
        return false;
    // Most search texts are ASCII, whose lower case and composed form are
    // their ASCII lower case; no other needle can be found in them.
    if (isAscii(*opened))
        return needle.ascii && opened->toLower().contains(*needle.ascii);
    const std::optional<QString> text = Utf8Text::decode(*opened);
    return text && CanonicalText::composed(text->toLower()).contains(needle.text);
}

} // namespace

QList<ClipboardEntry> filteredEntries(const QList<ClipboardEntry> &orderedEntries, HistoryFilter filter,
    const QString &query, const SearchTextOpener &open)
{
    Needle needle {CanonicalText::composed(query.toLower()), std::nullopt};
    if (const QByteArray bytes = needle.text.toUtf8(); isAscii(bytes))
        needle.ascii = bytes;
    QList<ClipboardEntry> shown;
    shown.reserve(orderedEntries.size());
    for (const ClipboardEntry &entry : orderedEntries) {
        if (keeps(filter, entry) && (needle.text.isEmpty() || matches(entry, needle, open)))
            shown.append(entry);
    }
    return shown;
}
