#include "tools/JsonSyntax.h"

#include "base/HexDigit.h"

#include <QVarLengthArray>

namespace {

// As deep as common parsers go. Pretty layout grows with the square of the
// depth, so without a limit a few hundred kilobytes of brackets would ask
// for gigabytes.
constexpr qsizetype maxDepth = 512;

bool isJsonSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Walks the text once; containers are tracked on an explicit stack so that
// deep nesting cannot overflow the call stack.
class Scanner final {
public:
    explicit Scanner(QStringView text) : m_text(text) { }

    bool scanDocument()
    {
        skipSpace();
        if (!at(u'{') && !at(u'['))
            return false;
        if (!scanValues())
            return false;
        skipSpace();
        return m_pos == m_text.size();
    }

private:
    bool at(char16_t c) const { return m_pos < m_text.size() && m_text[m_pos] == c; }

    void skipSpace()
    {
        while (m_pos < m_text.size() && isJsonSpace(m_text[m_pos]))
            ++m_pos;
    }

    bool scanValues()
    {
        QVarLengthArray<char16_t, 64> open;
        bool expectValue = true;
        for (;;) {
            skipSpace();
            if (expectValue) {
                if (at(u'{') || at(u'[')) {
                    if (open.size() >= maxDepth)
                        return false;
                    const char16_t kind = m_text[m_pos].unicode();
                    const char16_t close = kind == u'{' ? u'}' : u']';
                    ++m_pos;
                    skipSpace();
                    if (at(close)) {
                        ++m_pos;
                    } else {
                        open.append(kind);
                        if (kind == u'{' && !scanKey())
                            return false;
                        continue;
                    }
                } else if (!scanScalar()) {
                    return false;
                }
                expectValue = false;
            }
            if (open.isEmpty())
                return true;
            skipSpace();
            const char16_t kind = open.last();
            if (at(u',')) {
                ++m_pos;
                if (kind == u'{' && !scanKey())
                    return false;
                expectValue = true;
            } else if (at(kind == u'{' ? u'}' : u']')) {
                ++m_pos;
                open.removeLast();
            } else {
                return false;
            }
        }
    }

    // A member name and its colon.
    bool scanKey()
    {
        skipSpace();
        if (!scanString())
            return false;
        skipSpace();
        if (!at(u':'))
            return false;
        ++m_pos;
        return true;
    }

    bool scanScalar()
    {
        if (at(u'"'))
            return scanString();
        if (at(u'-') || (m_pos < m_text.size() && isDigit(m_text[m_pos])))
            return scanNumber();
        for (const QStringView literal : {u"true", u"false", u"null"}) {
            if (m_text.sliced(m_pos).startsWith(literal)) {
                m_pos += literal.size();
                return true;
            }
        }
        return false;
    }

    bool scanDigits()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && isDigit(m_text[m_pos]))
            ++m_pos;
        return m_pos > start;
    }

    bool scanNumber()
    {
        if (at(u'-'))
            ++m_pos;
        if (at(u'0'))
            ++m_pos;
        else if (!scanDigits())
            return false;
        if (at(u'.')) {
            ++m_pos;
            if (!scanDigits())
                return false;
        }
        if (at(u'e') || at(u'E')) {
            ++m_pos;
            if (at(u'+') || at(u'-'))
                ++m_pos;
            if (!scanDigits())
                return false;
        }
        return true;
    }

    bool scanString()
    {
        if (!at(u'"'))
            return false;
        ++m_pos;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (c == u'"')
                return true;
            if (c == u'\\') {
                if (!scanEscape())
                    return false;
            } else if (c.unicode() < 0x20) {
                return false;
            } else if (c.isHighSurrogate()) {
                if (m_pos == m_text.size() || !m_text[m_pos].isLowSurrogate())
                    return false;
                ++m_pos;
            } else if (c.isLowSurrogate()) {
                return false;
            }
        }
        return false;
    }

    // After a backslash.
    bool scanEscape()
    {
        if (m_pos == m_text.size())
            return false;
        const char16_t c = m_text[m_pos++].unicode();
        switch (c) {
        case u'"':
        case u'\\':
        case u'/':
        case u'b':
        case u'f':
        case u'n':
        case u'r':
        case u't':
            return true;
        case u'u':
            break;
        default:
            return false;
        }
        const int unit = scanHex4();
        if (unit < 0 || QChar::isLowSurrogate(char32_t(unit)))
            return false;
        if (!QChar::isHighSurrogate(char32_t(unit)))
            return true;
        if (!m_text.sliced(m_pos).startsWith(u"\\u"))
            return false;
        m_pos += 2;
        const int low = scanHex4();
        return low >= 0 && QChar::isLowSurrogate(char32_t(low));
    }

    int scanHex4()
    {
        if (m_text.size() - m_pos < 4)
            return -1;
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexDigitValue(m_text[m_pos++].unicode());
            if (digit < 0)
                return -1;
            value = value * 16 + digit;
        }
        return value;
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

} // namespace

namespace JsonSyntax {

bool isDocument(QStringView text)
{
    return Scanner(text).scanDocument();
}

} // namespace JsonSyntax
