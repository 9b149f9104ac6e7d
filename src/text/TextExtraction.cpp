#include "text/TextExtraction.h"

#include "text/DocumentText.h"

#include <array>

namespace TextExtraction {

namespace {

// The single-letter bold and italic tags are left out on purpose: prose
// mentions them too often.
constexpr std::array<QStringView, 15> htmlMarkers = {u"<p>", u"<p ", u"<div", u"<span", u"<strong>", u"<em>",
    u"<h1", u"<h2", u"<h3", u"<br", u"<table", u"<ul", u"<ol", u"<li", u"<a "};

} // namespace

bool looksLikeHTML(const QString &text)
{
    const QString lower = text.toLower();
    if (lower.startsWith(u'<') && lower.contains(u'>'))
        return true;
    for (const QStringView marker : htmlMarkers) {
        if (lower.contains(marker))
            return true;
    }
    return false;
}

std::optional<QString> ExtractedText::finish() const
{
    if (!html)
        return text;
    if (std::optional<QString> converted = DocumentText::fromHTML(*html))
        return converted;
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return text;
}

ExtractedText extractPlainText(const QString &string, const PasteboardFlavours &flavours)
{
    const QString trimmed = string.trimmed();
    if (!trimmed.isEmpty() && !looksLikeHTML(trimmed))
        return {string};

    if (flavours.readRTF) {
        if (const std::optional<QByteArray> rtf = flavours.readRTF()) {
            if (std::optional<QString> text = DocumentText::fromRTF(*rtf))
                return {*std::move(text)};
        }
    }
    if (flavours.readHTML) {
        if (std::optional<QByteArray> html = flavours.readHTML())
            return {string, std::move(html)};
    }
    return {string};
}

} // namespace TextExtraction
