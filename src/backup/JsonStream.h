#pragma once

#include <QByteArray>

#include <functional>
#include <optional>
#include <vector>

// JSON read front to back as it arrives, without building a document: the
// reader asks for the value it expects and skips the rest. It accepts what
// Qt's parser accepts (raw control characters and unknown escapes in
// strings, "1." and ".5", a leading byte order mark, 1,024 levels) and
// refuses what it refuses. Strings go to a sink, a piece at a time, so that
// a long one need not be held.
class JsonStream final {
    Q_DISABLE_COPY(JsonStream)

public:
    // Up to size bytes into out; 0 at the end.
    using Read = std::function<qsizetype(char *out, qsizetype size)>;

    enum class Type { none, object, array, string, number, boolean, null };

    struct Number {
        // Set for a number written without fraction or exponent that fits.
        std::optional<qint64> integer;
        double value = 0;
    };

    // What a string's characters are handed to, as they come. A sink that
    // does not like them notes it and lets the text go on: what a string
    // holds is no matter of syntax.
    struct Sink {
        virtual ~Sink() = default;
        // Bytes below 0x80.
        virtual void ascii(const char *bytes, qsizetype size) = 0;
        // One whole, well-formed UTF-8 sequence of 2 to 4 bytes.
        virtual void sequence(const char *bytes, qsizetype size) = 0;
        // A \u escape, perhaps half of a surrogate pair, perhaps a lone half.
        virtual void escaped(char16_t unit) = 0;
    };

    explicit JsonStream(Read read);

    // After white space: what the next value is; none at the end of the text
    // or at something that starts no value.
    Type peek();

    bool beginObject();
    // The next member's name, its first maxKey bytes of UTF-8 (a longer
    // name matches none the reader knows); false at the object's end.
    bool nextMember(QByteArray &name);
    bool beginArray();
    // False at the array's end.
    bool nextElement();

    std::optional<bool> boolean();
    bool null();
    std::optional<Number> number();
    // The string's characters, unescaped, into sink.
    bool string(Sink &sink);
    // The next value, whatever it holds, checked as thoroughly as the rest.
    bool skip();

    // Only white space is left once the top value has been read.
    bool atEnd();

    // True from the first error of syntax on; every call then fails.
    bool failed() const { return m_failed; }

    static constexpr qsizetype maxKey = 64;
    static constexpr int maxDepth = 1024;

private:
    // The next byte without taking it; -1 at the end.
    int peekByte();
    int takeByte();
    bool refill();
    void skipSpace();
    bool expect(char byte);
    bool literal(const char *word);
    bool fail();
    bool enter(char open);
    // Reads ',' or the closing byte of the innermost container.
    bool nextItem(char close);

    Read m_read;
    QByteArray m_buffer;
    qsizetype m_position = 0;
    qsizetype m_end = 0;
    bool m_atEnd = false;
    bool m_failed = false;
    bool m_started = false;
    // Per open container: whether an item came yet.
    std::vector<bool> m_hasItems;
};
