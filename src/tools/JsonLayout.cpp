#include "tools/JsonLayout.h"

#include "text/Graphemes.h"
#include "tools/JsonSyntax.h"

namespace {

void appendBreak(QString &out, int level)
{
    out.append(u'\n');
    out.resize(out.size() + 2 * level, u' ');
}

} // namespace

namespace JsonLayout {

std::optional<QString> prettyPrintJSON(QStringView text, bool pretty)
{
    if (!JsonSyntax::isDocument(text))
        return std::nullopt;
    return relayout(text, pretty);
}

// Walks UTF-16 code units, not user-perceived characters: every structural
// character is ASCII, and a string opening with a combining mark would
// otherwise merge with its quote into one character.
QString relayout(QStringView json, bool pretty)
{
    QString out;
    out.reserve(json.size() + json.size() / 4);
    bool inString = false;
    bool escapePending = false;
    int level = 0;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const QChar c = json[i];
        if (inString) {
            out.append(c);
            if (escapePending)
                escapePending = false;
            else if (c == u'\\')
                escapePending = true;
            else if (c == u'"')
                inString = false;
            continue;
        }
        switch (c.unicode()) {
        case u'"':
            out.append(c);
            inString = true;
            break;
        case u'{':
        case u'[': {
            const QChar close = c == u'{' ? u'}' : u']';
            qsizetype next = i + 1;
            while (next < json.size() && Graphemes::isWhitespaceOrNewline(json[next].unicode()))
                ++next;
            if (next < json.size() && json[next] == close) {
                out.append(c);
                out.append(close);
                i = next;
            } else {
                out.append(c);
                ++level;
                if (pretty)
                    appendBreak(out, level);
            }
            break;
        }
        case u'}':
        case u']':
            level = std::max(0, level - 1);
            if (pretty)
                appendBreak(out, level);
            out.append(c);
            break;
        case u',':
            out.append(c);
            if (pretty)
                appendBreak(out, level);
            break;
        case u':':
            out.append(pretty ? QStringView(u": ") : QStringView(u":"));
            break;
        default:
            if (!Graphemes::isWhitespaceOrNewline(c.unicode()))
                out.append(c);
            break;
        }
    }
    return out;
}

} // namespace JsonLayout
