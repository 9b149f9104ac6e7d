#include "ui/menubar/FilteredEntries.h"

#include "base/Utf8Text.h"
#include "text/CanonicalText.h"

namespace {

bool matches(const ClipboardEntry &entry, const QString &needle, const SearchTextOpener &open)
{
    if (!entry.encryptedSearchText)
        return false;
    const std::optional<QByteArray> opened = open(*entry.encryptedSearchText);
    if (!opened)
        return false;
    const std::optional<QString> text = Utf8Text::decode(*opened);
    return text && CanonicalText::composed(text->toLower()).contains(needle);
}

} // namespace

QList<ClipboardEntry> filteredEntries(const QList<ClipboardEntry> &orderedEntries, HistoryFilter filter,
    const QString &query, const SearchTextOpener &open)
{
    const QString needle = CanonicalText::composed(query.toLower());
    QList<ClipboardEntry> shown;
    for (const ClipboardEntry &entry : orderedEntries) {
        if (keeps(filter, entry) && (needle.isEmpty() || matches(entry, needle, open)))
            shown.append(entry);
    }
    return shown;
}
