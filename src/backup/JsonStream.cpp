#include "backup/JsonStream.h"

#include "base/HexDigit.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>

namespace {

constexpr qsizetype bufferSize = 64 * 1024;
// Far beyond any number a writer prints; Qt reads a longer one as infinity,
// which it refuses too.
constexpr qsizetype maxNumber = 64 * 1024;

bool isDigit(int byte)
{
    return byte >= '0' && byte <= '9';
}

// The range of the second byte of a UTF-8 sequence that starts with lead,
// which rules out overlong forms, surrogates and code points past U+10FFFF;
// the length 0 for a byte that starts no sequence.
struct SequenceStart {
    int length = 0;
    int low = 0x80;
    int high = 0xbf;
};

SequenceStart sequenceStart(int lead)
{
    if (lead >= 0xc2 && lead <= 0xdf)
        return {2};
    if (lead == 0xe0)
        return {3, 0xa0};
    if (lead == 0xed)
        return {3, 0x80, 0x9f};
    if (lead >= 0xe1 && lead <= 0xef)
        return {3};
    if (lead == 0xf0)
        return {4, 0x90};
    if (lead >= 0xf1 && lead <= 0xf3)
        return {4};
    if (lead == 0xf4)
        return {4, 0x80, 0x8f};
    return {};
}

// Reads a name's first bytes, as UTF-8.
class NameSink final : public JsonStream::Sink {
public:
    explicit NameSink(QByteArray &name) : m_name(name) { m_name.clear(); }

    void ascii(const char *bytes, qsizetype size) override { add(bytes, size); }
    void sequence(const char *bytes, qsizetype size) override { add(bytes, size); }
    // No name the reader knows holds one.
    void escaped(char16_t unit) override
    {
        const char byte = unit < 0x80 ? char(unit) : '?';
        add(&byte, 1);
    }

private:
    void add(const char *bytes, qsizetype size)
    {
        m_name.append(bytes, std::min(size, JsonStream::maxKey + 1 - m_name.size()));
    }

    QByteArray &m_name;
};

class DiscardSink final : public JsonStream::Sink {
public:
    void ascii(const char *, qsizetype) override { }
    void sequence(const char *, qsizetype) override { }
    void escaped(char16_t) override { }
};

} // namespace

JsonStream::JsonStream(Read read) : m_read(std::move(read)), m_buffer(bufferSize, Qt::Uninitialized)
{
}

bool JsonStream::refill()
{
    if (m_atEnd)
        return false;
    m_position = 0;
    m_end = m_read(m_buffer.data(), m_buffer.size());
    if (m_end <= 0) {
        m_end = 0;
        m_atEnd = true;
        return false;
    }
    return true;
}

int JsonStream::peekByte()
{
    if (m_position == m_end && !refill())
        return -1;
    return uchar(m_buffer.at(m_position));
}

int JsonStream::takeByte()
{
    const int byte = peekByte();
    if (byte >= 0)
        ++m_position;
    return byte;
}

bool JsonStream::fail()
{
    m_failed = true;
    return false;
}

void JsonStream::skipSpace()
{
    if (!m_started) {
        m_started = true;
        // A byte order mark may lead the text.
        if (peekByte() == 0xef && !(takeByte() == 0xef && takeByte() == 0xbb && takeByte() == 0xbf))
            fail();
    }
    for (int byte = peekByte(); byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r';
         byte = peekByte())
        ++m_position;
}

bool JsonStream::expect(char byte)
{
    skipSpace();
    return takeByte() == uchar(byte) || fail();
}

bool JsonStream::literal(const char *word)
{
    for (; *word; ++word) {
        if (takeByte() != uchar(*word))
            return fail();
    }
    return true;
}

JsonStream::Type JsonStream::peek()
{
    if (m_failed)
        return Type::none;
    skipSpace();
    switch (peekByte()) {
    case '{':
        return Type::object;
    case '[':
        return Type::array;
    case '"':
        return Type::string;
    case 't':
    case 'f':
        return Type::boolean;
    case 'n':
        return Type::null;
    case '-':
    case '.':
        return Type::number;
    default:
        return isDigit(peekByte()) ? Type::number : Type::none;
    }
}

bool JsonStream::enter(char open)
{
    if (m_failed || int(m_hasItems.size()) >= maxDepth || !expect(open))
        return fail();
    m_hasItems.push_back(false);
    return true;
}

bool JsonStream::nextItem(char close)
{
    if (m_failed || m_hasItems.empty())
        return fail();
    skipSpace();
    const int byte = m_hasItems.back() ? takeByte() : peekByte();
    if (byte == uchar(close)) {
        if (!m_hasItems.back())
            ++m_position;
        m_hasItems.pop_back();
        return false;
    }
    if (m_hasItems.back() && byte != ',')
        return fail();
    m_hasItems.back() = true;
    return true;
}

bool JsonStream::beginObject()
{
    return enter('{');
}

bool JsonStream::nextMember(QByteArray &name)
{
    if (!nextItem('}'))
        return false;
    NameSink sink(name);
    skipSpace();
    return (peekByte() == '"' || fail()) && string(sink) && expect(':');
}

bool JsonStream::beginArray()
{
    return enter('[');
}

bool JsonStream::nextElement()
{
    return nextItem(']');
}

std::optional<bool> JsonStream::boolean()
{
    if (peek() != Type::boolean) {
        fail();
        return std::nullopt;
    }
    const bool value = peekByte() == 't';
    if (!literal(value ? "true" : "false"))
        return std::nullopt;
    return value;
}

bool JsonStream::null()
{
    return (peek() == Type::null || fail()) && literal("null");
}

std::optional<JsonStream::Number> JsonStream::number()
{
    if (peek() != Type::number) {
        fail();
        return std::nullopt;
    }
    QByteArray text;
    const auto take = [&] {
        text.append(char(takeByte()));
        return text.size() <= maxNumber;
    };
    const auto digits = [&] {
        qsizetype count = 0;
        for (; isDigit(peekByte()); ++count) {
            if (!take())
                return qsizetype(-1);
        }
        return count;
    };
    if (peekByte() == '-')
        take();
    qsizetype integral = 0;
    if (peekByte() == '0')
        integral = take() ? 1 : -1;
    else
        integral = digits();
    qsizetype fraction = 0;
    bool plain = true;
    if (integral >= 0 && peekByte() == '.') {
        plain = false;
        fraction = take() ? digits() : -1;
    }
    bool wellFormed = integral >= 0 && fraction >= 0 && integral + fraction > 0;
    if (wellFormed && (peekByte() == 'e' || peekByte() == 'E')) {
        plain = false;
        take();
        if (peekByte() == '+' || peekByte() == '-')
            take();
        wellFormed = digits() > 0;
    }
    if (!wellFormed) {
        fail();
        return std::nullopt;
    }
    const char *begin = text.constData();
    const char *end = begin + text.size();
    Number number;
    if (plain) {
        qint64 integer = 0;
        if (const auto [stop, error] = std::from_chars(begin, end, integer);
            error == std::errc() && stop == end) {
            number.integer = integer;
            number.value = double(integer);
            return number;
        }
    }
    // Out of range either way, infinite or lost to zero: refused, as Qt does.
    if (const auto [stop, error] = std::from_chars(begin, end, number.value);
        error != std::errc() || stop != end) {
        fail();
        return std::nullopt;
    }
    return number;
}

bool JsonStream::string(Sink &sink)
{
    if (peek() != Type::string)
        return fail();
    ++m_position;
    for (bool first = true;; first = false) {
        if (peekByte() < 0)
            return fail();
        // Runs of plain ASCII go to the sink as they lie in the buffer.
        qsizetype run = m_position;
        while (run < m_end) {
            const uchar byte = uchar(m_buffer.at(run));
            if (byte >= 0x80 || byte == '"' || byte == '\\')
                break;
            ++run;
        }
        if (run > m_position) {
            const qsizetype start = std::exchange(m_position, run);
            sink.ascii(m_buffer.constData() + start, run - start);
            continue;
        }
        // Else the string ends, or an escape or a multi-byte character starts.
        int byte = takeByte();
        if (byte == '"')
            return true;
        if (byte == '\\') {
            byte = takeByte();
            if (byte == 'u') {
                char16_t unit = 0;
                for (int i = 0; i < 4; ++i) {
                    const int byte = takeByte();
                    const int value = byte < 0 ? -1 : hexDigitValue(char32_t(byte));
                    if (value < 0)
                        return fail();
                    unit = char16_t(unit << 4 | value);
                }
                sink.escaped(unit);
                continue;
            }
            static constexpr char from[] = "bfnrt";
            static constexpr char to[] = "\b\f\n\r\t";
            if (const char *known = byte > 0 ? std::char_traits<char>::find(from, 5, char(byte)) : nullptr)
                byte = to[known - from];
            // Any other escaped byte stands for itself, as Qt reads it: a
            // byte past ASCII as the Latin-1 character of its value.
            if (byte < 0)
                return fail();
            if (byte >= 0x80) {
                sink.escaped(char16_t(byte));
                continue;
            }
            const char plain = char(byte);
            sink.ascii(&plain, 1);
            continue;
        }
        const SequenceStart start = sequenceStart(byte);
        if (start.length == 0)
            return fail();
        char bytes[4] = {char(byte)};
        for (int i = 1; i < start.length; ++i) {
            const int next = takeByte();
            if (next < (i == 1 ? start.low : 0x80) || next > (i == 1 ? start.high : 0xbf))
                return fail();
            bytes[i] = char(next);
        }
        // Qt drops a byte order mark that opens a string.
        const bool byteOrderMark = start.length == 3 && QByteArrayView(bytes, 3) == "\xef\xbb\xbf";
        if (!(first && byteOrderMark))
            sink.sequence(bytes, start.length);
    }
}

bool JsonStream::skip()
{
    DiscardSink discard;
    QByteArray name;
    switch (peek()) {
    case Type::object:
        if (!beginObject())
            return false;
        while (nextMember(name)) {
            if (!skip())
                return false;
        }
        return !m_failed;
    case Type::array:
        if (!beginArray())
            return false;
        while (nextElement()) {
            if (!skip())
                return false;
        }
        return !m_failed;
    case Type::string:
        return string(discard);
    case Type::number:
        return number().has_value();
    case Type::boolean:
        return boolean().has_value();
    case Type::null:
        return null();
    case Type::none:
        break;
    }
    return fail();
}

bool JsonStream::atEnd()
{
    skipSpace();
    return !m_failed && m_hasItems.empty() && peekByte() < 0;
}
