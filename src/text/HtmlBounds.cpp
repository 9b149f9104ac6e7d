#include "text/HtmlBounds.h"

#include <QString>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace HtmlBounds {

namespace {

constexpr std::array<QStringView, 22> flatElements
    = {u"area", u"base", u"br", u"col", u"dd", u"dt", u"embed", u"hr", u"img", u"input", u"li", u"link",
        u"meta", u"option", u"p", u"param", u"source", u"td", u"th", u"tr", u"track", u"wbr"};

// Their content is text: a "<" in a script is no tag.
constexpr std::array<QStringView, 2> rawTextElements = {u"script", u"style"};

bool isNameCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

} // namespace

bool fits(QStringView html)
{
    int depth = 0;
    int listItems = 0;
    qsizetype at = 0;
    while ((at = html.indexOf(u'<', at)) >= 0) {
        ++at;
        if (html.sliced(at).startsWith(u"!--")) {
            at = html.indexOf(u"-->", at);
            if (at < 0)
                break;
            continue;
        }
        const bool closing = at < html.size() && html[at] == u'/';
        if (closing)
            ++at;
        const qsizetype nameStart = at;
        while (at < html.size() && isNameCharacter(html[at]))
            ++at;
        // A "<" in text, a doctype or a processing instruction.
        if (at == nameStart)
            continue;
        const QString name = html.sliced(nameStart, at - nameStart).toString().toLower();
        const qsizetype end = html.indexOf(u'>', at);
        if (end < 0)
            break;
        const bool empty = html[end - 1] == u'/';
        at = end + 1;
        if (name == u"li" && !closing && ++listItems > maxListItems)
            return false;
        if (empty || std::ranges::find(flatElements, name) != flatElements.end())
            continue;
        if (closing) {
            depth = std::max(0, depth - 1);
            continue;
        }
        if (++depth > maxDepth)
            return false;
        if (std::ranges::find(rawTextElements, name) != rawTextElements.end()) {
            at = html.indexOf(u"</"_s + name, at, Qt::CaseInsensitive);
            if (at < 0)
                break;
        }
    }
    return true;
}

} // namespace HtmlBounds
