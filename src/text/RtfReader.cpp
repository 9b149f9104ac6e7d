#include "text/RtfReader.h"

#include "base/HexDigit.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace {

enum class Action { Text, Destination, CodePage, CodePageFromParameter, Unicode, UnicodeSkip };

struct ControlWord {
    std::string_view name;
    Action action;
    int value = 0; // the character of Text, the code page of CodePage
};

// Sorted by name for the binary search below.
constexpr std::array controlWords = {
    ControlWord {"annotation", Action::Destination},
    ControlWord {"ansi", Action::CodePage, 1252},
    ControlWord {"ansicpg", Action::CodePageFromParameter},
    ControlWord {"atnauthor", Action::Destination},
    ControlWord {"atnid", Action::Destination},
    ControlWord {"bkmkend", Action::Destination},
    ControlWord {"bkmkstart", Action::Destination},
    ControlWord {"bullet", Action::Text, 0x2022},
    ControlWord {"cell", Action::Text, '\t'},
    ControlWord {"colorschememapping", Action::Destination},
    ControlWord {"colortbl", Action::Destination},
    ControlWord {"comment", Action::Destination},
    ControlWord {"datastore", Action::Destination},
    ControlWord {"emdash", Action::Text, 0x2014},
    ControlWord {"emspace", Action::Text, 0x2003},
    ControlWord {"endash", Action::Text, 0x2013},
    ControlWord {"enspace", Action::Text, 0x2002},
    ControlWord {"falt", Action::Destination},
    ControlWord {"filetbl", Action::Destination},
    ControlWord {"fldinst", Action::Destination},
    ControlWord {"fonttbl", Action::Destination},
    ControlWord {"footer", Action::Destination},
    ControlWord {"footerf", Action::Destination},
    ControlWord {"footerl", Action::Destination},
    ControlWord {"footerr", Action::Destination},
    ControlWord {"footnote", Action::Destination},
    ControlWord {"ftncn", Action::Destination},
    ControlWord {"ftnsep", Action::Destination},
    ControlWord {"ftnsepc", Action::Destination},
    ControlWord {"generator", Action::Destination},
    ControlWord {"header", Action::Destination},
    ControlWord {"headerf", Action::Destination},
    ControlWord {"headerl", Action::Destination},
    ControlWord {"headerr", Action::Destination},
    ControlWord {"info", Action::Destination},
    ControlWord {"latentstyles", Action::Destination},
    ControlWord {"ldblquote", Action::Text, 0x201C},
    ControlWord {"line", Action::Text, '\n'},
    ControlWord {"listoverridetable", Action::Destination},
    ControlWord {"listtable", Action::Destination},
    ControlWord {"lquote", Action::Text, 0x2018},
    ControlWord {"ltrmark", Action::Text, 0x200E},
    ControlWord {"mac", Action::CodePage, 10000},
    ControlWord {"nestcell", Action::Text, '\t'},
    ControlWord {"nestrow", Action::Text, '\n'},
    ControlWord {"nonshppict", Action::Destination},
    ControlWord {"objdata", Action::Destination},
    ControlWord {"object", Action::Destination},
    ControlWord {"page", Action::Text, '\n'},
    ControlWord {"par", Action::Text, '\n'},
    ControlWord {"pc", Action::CodePage, 437},
    ControlWord {"pca", Action::CodePage, 850},
    ControlWord {"pgdsctbl", Action::Destination},
    ControlWord {"pict", Action::Destination},
    ControlWord {"private", Action::Destination},
    ControlWord {"qmspace", Action::Text, 0x2005},
    ControlWord {"rdblquote", Action::Text, 0x201D},
    ControlWord {"revtbl", Action::Destination},
    ControlWord {"row", Action::Text, '\n'},
    ControlWord {"rquote", Action::Text, 0x2019},
    ControlWord {"rsidtbl", Action::Destination},
    ControlWord {"rtlmark", Action::Text, 0x200F},
    ControlWord {"sect", Action::Text, '\n'},
    ControlWord {"shpinst", Action::Destination},
    ControlWord {"stylesheet", Action::Destination},
    ControlWord {"tab", Action::Text, '\t'},
    ControlWord {"themedata", Action::Destination},
    ControlWord {"u", Action::Unicode},
    ControlWord {"uc", Action::UnicodeSkip},
    ControlWord {"xmlnstbl", Action::Destination},
    ControlWord {"zwj", Action::Text, 0x200D},
    ControlWord {"zwnj", Action::Text, 0x200C},
};
static_assert(std::ranges::is_sorted(controlWords, {}, &ControlWord::name));

const ControlWord *findControlWord(std::string_view name)
{
    const auto found = std::ranges::lower_bound(controlWords, name, {}, &ControlWord::name);
    return found != controlWords.end() && found->name == name ? &*found : nullptr;
}

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

UConverter *openConverter(int codePage)
{
    std::vector<std::string> names;
    if (codePage == 65001)
        names = {"UTF-8"};
    else if (codePage == 10000)
        names = {"macintosh"};
    else
        names = {"windows-" + std::to_string(codePage), "cp" + std::to_string(codePage),
            "ibm-" + std::to_string(codePage)};
    for (const std::string &name : names) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter *converter = ucnv_open(name.c_str(), &status);
        if (U_SUCCESS(status))
            return converter;
    }
    return nullptr;
}

} // namespace

std::optional<QString> RtfReader::read(QByteArrayView data)
{
    if (data.size() > maxInputSize)
        return std::nullopt;
    qsizetype start = 0;
    while (start < data.size() && isAsciiSpace(data[start]))
        ++start;
    data = data.sliced(start);
    if (!data.startsWith("{\\rtf"))
        return std::nullopt;
    RtfReader reader(data);
    reader.run();
    return std::move(reader.m_text);
}

RtfReader::RtfReader(QByteArrayView data) : m_data(data)
{
    if (UConverter *converter = openConverter(m_codePage)) {
        m_converters.emplace(m_codePage, converter);
        m_converter = converter;
    }
}

RtfReader::~RtfReader()
{
    for (const auto &[codePage, converter] : m_converters)
        ucnv_close(converter);
}

void RtfReader::run()
{
    while (!m_finished && m_position < m_data.size()) {
        const char c = m_data[m_position++];
        if (c == '{')
            openGroup();
        else if (c == '}')
            closeGroup();
        else if (c == '\\')
            readControl();
        else
            textByte(c);
    }
    flushCodePageBytes();
    endPendingSurrogate();
}

void RtfReader::openGroup()
{
    m_fallbackLeft = 0;
    if (m_skipDepth > 0) {
        ++m_skipDepth;
        return;
    }
    if (m_groups.size() >= size_t(maxGroupDepth)) {
        m_skipDepth = 1;
        return;
    }
    m_groups.push_back(m_groups.empty() ? Group() : m_groups.back());
    m_atGroupStart = true;
    m_ignorableDestination = false;
}

void RtfReader::closeGroup()
{
    m_fallbackLeft = 0;
    m_atGroupStart = false;
    if (m_skipDepth > 0) {
        --m_skipDepth;
        return;
    }
    if (!m_groups.empty())
        m_groups.pop_back();
    // The document ends with its outermost group; what follows is not read.
    if (m_groups.empty())
        m_finished = true;
}

void RtfReader::skipGroup()
{
    m_groups.pop_back();
    m_skipDepth = 1;
    m_fallbackLeft = 0;
}

void RtfReader::readControl()
{
    if (m_position >= m_data.size())
        return;
    const char first = m_data[m_position];
    if (!isAsciiLetter(first)) {
        ++m_position;
        controlSymbol(first);
        return;
    }

    const qsizetype nameStart = m_position;
    while (m_position < m_data.size() && isAsciiLetter(m_data[m_position]))
        ++m_position;
    const std::string_view name(m_data.data() + nameStart, size_t(m_position - nameStart));

    std::optional<int> parameter;
    const bool negative
        = m_position + 1 < m_data.size() && m_data[m_position] == '-' && isAsciiDigit(m_data[m_position + 1]);
    if (negative)
        ++m_position;
    if (m_position < m_data.size() && isAsciiDigit(m_data[m_position])) {
        constexpr qint64 limit = std::numeric_limits<int>::max();
        qint64 value = 0;
        while (m_position < m_data.size() && isAsciiDigit(m_data[m_position]))
            value = std::min(value * 10 + (m_data[m_position++] - '0'), limit);
        parameter = int(negative ? -value : value);
    }
    // A blank ends the control word and belongs to it.
    if (m_position < m_data.size() && m_data[m_position] == ' ')
        ++m_position;
    controlWord(name, parameter);
}

void RtfReader::controlWord(std::string_view name, std::optional<int> parameter)
{
    if (name == "bin") {
        // Binary data may hold anything, braces included: pass over it whole.
        const qsizetype length = std::max(parameter.value_or(0), 0);
        m_position += std::min(length, m_data.size() - m_position);
        m_atGroupStart = false;
        return;
    }
    if (m_skipDepth > 0)
        return;
    const ControlWord *word = findControlWord(name);
    if (m_atGroupStart) {
        m_atGroupStart = false;
        if (m_ignorableDestination || (word && word->action == Action::Destination)) {
            skipGroup();
            return;
        }
    }
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return;
    }
    if (!word)
        return;

    switch (word->action) {
    case Action::Text: {
        const char16_t character = char16_t(word->value);
        appendText(QStringView(&character, 1));
        break;
    }
    case Action::Destination:
        break;
    case Action::CodePage:
        setCodePage(word->value);
        break;
    case Action::CodePageFromParameter:
        if (parameter)
            setCodePage(*parameter);
        break;
    case Action::Unicode:
        if (parameter) {
            // Values above 32767 are written as negative numbers.
            const int value = *parameter < 0 ? *parameter + 65536 : *parameter;
            if (value > 0 && value <= 0xFFFF)
                appendUnicode(char16_t(value));
            m_fallbackLeft = m_groups.back().unicodeSkip;
        }
        break;
    case Action::UnicodeSkip:
        if (parameter)
            m_groups.back().unicodeSkip = std::max(*parameter, 0);
        break;
    }
}

void RtfReader::controlSymbol(char symbol)
{
    if (symbol == '*') {
        if (m_atGroupStart)
            m_ignorableDestination = true;
        return;
    }
    if (symbol == '\'') {
        readHexByte();
        return;
    }
    if (symbol == '\\' || symbol == '{' || symbol == '}') {
        textByte(symbol);
        return;
    }
    m_atGroupStart = false;
    if (consumedAsSkipped())
        return;
    switch (symbol) {
    case '~':
        appendText(u"\u00A0");
        break;
    case '_':
        appendText(u"\u2011");
        break;
    case '\r':
    case '\n':
        appendText(u"\n");
        break;
    default:
        // \- (optional hyphen), \| and \: carry no text.
        break;
    }
}

void RtfReader::readHexByte()
{
    int value = 0;
    int digits = 0;
    while (digits < 2 && m_position < m_data.size()) {
        const int digit = hexDigitValue(m_data[m_position]);
        if (digit < 0)
            break;
        value = value * 16 + digit;
        ++digits;
        ++m_position;
    }
    m_atGroupStart = false;
    if (consumedAsSkipped() || digits < 2)
        return;
    m_codePageBytes.append(char(value));
}

void RtfReader::textByte(char byte)
{
    // Line breaks in the source are formatting, not text.
    if (byte == '\r' || byte == '\n')
        return;
    m_atGroupStart = false;
    if (consumedAsSkipped())
        return;
    if (static_cast<unsigned char>(byte) < 0x20 && byte != '\t')
        return;
    m_codePageBytes.append(byte);
}

bool RtfReader::consumedAsSkipped()
{
    if (m_skipDepth > 0)
        return true;
    if (m_fallbackLeft > 0) {
        --m_fallbackLeft;
        return true;
    }
    return false;
}

void RtfReader::setCodePage(int codePage)
{
    // Looking up and opening a converter is costly: a document that names
    // code pages over and over must not pay for it each time.
    if (codePage == m_codePage || codePage <= 0 || codePage >= int(m_refusedCodePages.size())
        || m_refusedCodePages[size_t(codePage)])
        return;
    auto known = m_converters.find(codePage);
    if (known == m_converters.end()) {
        UConverter *converter = openConverter(codePage);
        if (!converter) {
            m_refusedCodePages[size_t(codePage)] = true;
            return;
        }
        known = m_converters.emplace(codePage, converter).first;
    }
    flushCodePageBytes();
    m_codePage = codePage;
    m_converter = known->second;
}

void RtfReader::flushCodePageBytes()
{
    if (m_codePageBytes.isEmpty())
        return;
    endPendingSurrogate();
    if (!m_converter) {
        m_text.append(QString::fromLatin1(m_codePageBytes));
        m_codePageBytes.clear();
        return;
    }
    // A byte gives at most one code point, so at most two UTF-16 units.
    QString converted(m_codePageBytes.size() * 2 + 2, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(m_converter, reinterpret_cast<char16_t *>(converted.data()),
        int32_t(converted.size()), m_codePageBytes.constData(), int32_t(m_codePageBytes.size()), &status);
    if (U_SUCCESS(status))
        m_text.append(QStringView(converted).first(length));
    m_codePageBytes.clear();
}

void RtfReader::appendText(QStringView text)
{
    flushCodePageBytes();
    endPendingSurrogate();
    m_text.append(text);
}

void RtfReader::appendUnicode(char16_t unit)
{
    flushCodePageBytes();
    if (m_highSurrogate) {
        if (QChar::isLowSurrogate(unit)) {
            m_text.append(QChar(m_highSurrogate));
            m_text.append(QChar(unit));
            m_highSurrogate = 0;
            return;
        }
        endPendingSurrogate();
    }
    if (QChar::isHighSurrogate(unit))
        m_highSurrogate = unit;
    else if (QChar::isLowSurrogate(unit))
        m_text.append(QChar::ReplacementCharacter);
    else
        m_text.append(QChar(unit));
}

// A lone half of a surrogate pair would make the text ill-formed.
void RtfReader::endPendingSurrogate()
{
    if (!m_highSurrogate)
        return;
    m_text.append(QChar::ReplacementCharacter);
    m_highSurrogate = 0;
}
