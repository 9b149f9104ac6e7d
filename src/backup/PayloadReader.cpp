#include "backup/PayloadReader.h"

#include "backup/BackupStream.h"
#include "backup/ImportBounds.h"
#include "backup/JsonStream.h"
#include "records/DateCoding.h"
#include "records/UuidText.h"
#include "text/Graphemes.h"

#include <QLatin1StringView>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

using Texts = PayloadReader::Texts;
using Type = JsonStream::Type;

// A text cut to some characters is read this far at most, far more than any
// real character takes.
constexpr qsizetype unitsPerCharacter = 32;
constexpr qsizetype unbounded = std::numeric_limits<qsizetype>::max();
// Identifiers and content types are short; a longer text is not one.
constexpr qsizetype shortText = 64;

// What the last value of a record's field was.
enum class Status { missing, null, valid, invalid };

bool acceptable(Status status, bool required)
{
    return status == Status::valid || (!required && (status == Status::missing || status == Status::null));
}

// Whether every field of a record is acceptable, the first required ones
// being required.
template<size_t size> bool acceptable(const std::array<Status, size> &status, size_t required)
{
    for (size_t i = 0; i < size; ++i) {
        if (!acceptable(status[i], i < required))
            return false;
    }
    return true;
}

char32_t codePointOf(const char *bytes, qsizetype size)
{
    const auto byte = [&](int i) { return char32_t(uchar(bytes[i])); };
    if (size == 2)
        return (byte(0) & 0x1f) << 6 | (byte(1) & 0x3f);
    if (size == 3)
        return (byte(0) & 0x0f) << 12 | (byte(1) & 0x3f) << 6 | (byte(2) & 0x3f);
    return (byte(0) & 0x07) << 18 | (byte(1) & 0x3f) << 12 | (byte(2) & 0x3f) << 6 | (byte(3) & 0x3f);
}

// Appends to bytes, growing it by doubling through realloc: Qt's own growth
// copies, and a content of a gigabyte would be held twice while it moves.
void append(QByteArray &bytes, const char *data, qsizetype size)
{
    if (bytes.size() + size > bytes.capacity())
        bytes.reserve(std::max(2 * bytes.capacity(), bytes.size() + size));
    bytes.append(data, size);
}

// A text up to limit UTF-16 code units; the rest is read but not kept.
class TextSink final : public JsonStream::Sink {
public:
    explicit TextSink(qsizetype limit) : m_limit(limit) { }

    QString text;

    void ascii(const char *bytes, qsizetype size) override
    {
        text.append(QLatin1StringView(bytes, std::min(size, room())));
    }
    void sequence(const char *bytes, qsizetype size) override
    {
        const char32_t codePoint = codePointOf(bytes, size);
        if (room() >= QChar::requiresSurrogates(codePoint) + 1)
            text.append(QChar::fromUcs4(codePoint));
    }
    void escaped(char16_t unit) override
    {
        if (room() > 0)
            text.append(QChar(unit));
    }

private:
    qsizetype room() const { return m_limit - text.size(); }

    const qsizetype m_limit;
};

// A text as UTF-8, the bytes Qt would make of it (a lone surrogate becomes
// "?"), and how long it is in UTF-16 code units; nothing is kept past limit.
class Utf8Sink final : public JsonStream::Sink {
public:
    explicit Utf8Sink(qsizetype limit) : m_limit(limit) { }

    QByteArray bytes;
    qsizetype units = 0;

    bool isTooLong() const { return units > m_limit; }

    void ascii(const char *text, qsizetype size) override
    {
        settle();
        add(text, size, size);
    }
    void sequence(const char *text, qsizetype size) override
    {
        settle();
        add(text, size, size == 4 ? 2 : 1);
    }
    void escaped(char16_t unit) override
    {
        if (m_high && QChar::isLowSurrogate(unit)) {
            const QChar pair[2] = {QChar(std::exchange(m_high, 0)), QChar(unit)};
            const QByteArray encoded = QStringView(pair, 2).toUtf8();
            add(encoded.constData(), encoded.size(), 2);
            return;
        }
        settle();
        if (QChar::isHighSurrogate(unit)) {
            m_high = unit;
            return;
        }
        const QByteArray encoded = QString(QChar(unit)).toUtf8();
        add(encoded.constData(), encoded.size(), 1);
    }
    // A high surrogate the string ended on is alone.
    void finish() { settle(); }
    void reset()
    {
        bytes.clear();
        units = 0;
        m_high = 0;
    }

private:
    void settle()
    {
        if (m_high) {
            m_high = 0;
            add("?", 1, 1);
        }
    }
    void add(const char *text, qsizetype size, qsizetype units)
    {
        this->units += units;
        if (!isTooLong())
            ::append(bytes, text, size);
    }

    const qsizetype m_limit;
    char16_t m_high = 0;
};

// Standard Base64 with "=" padding, whole groups of four only.
class Base64Sink final : public JsonStream::Sink {
public:
    QByteArray bytes;

    bool isValid() const { return m_valid && m_count == 0; }

    void ascii(const char *text, qsizetype size) override
    {
        for (qsizetype i = 0; i < size && m_valid; ++i)
            character(uchar(text[i]));
    }
    void sequence(const char *, qsizetype) override { m_valid = false; }
    void escaped(char16_t unit) override
    {
        if (unit < 0x80)
            character(uchar(unit));
        else
            m_valid = false;
    }

private:
    static constexpr std::array<qint8, 128> alphabet = [] {
        std::array<qint8, 128> values {};
        values.fill(-1);
        constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            values[size_t(letters[i])] = qint8(i);
        return values;
    }();

    void character(uchar byte)
    {
        if (byte == '=') {
            // Only the last one or two of the last group.
            m_valid = m_valid && m_count >= 2;
            ++m_padding;
        } else {
            const qint8 value = byte < 0x80 ? alphabet[byte] : qint8(-1);
            m_valid = m_valid && value >= 0 && m_padding == 0;
            m_group = m_group << 6 | quint32(value);
        }
        if (++m_count < 4 || !m_valid)
            return;
        m_group <<= 6 * m_padding;
        const char group[3] = {char(m_group >> 16), char(m_group >> 8), char(m_group)};
        ::append(bytes, group, 3 - m_padding);
        m_count = 0;
        m_group = 0;
        // Padding ends the text: nothing may follow it.
        if (m_padding > 0)
            m_padding = 3;
    }

    quint32 m_group = 0;
    int m_count = 0;
    int m_padding = 0;
    bool m_valid = true;
};

class Decoder {
public:
    Decoder(JsonStream &json, Texts texts) : m_json(json), m_texts(texts) { }

    std::expected<ReadPayload, BackupError> payload();

private:
    bool bounded() const { return m_texts == Texts::bounded; }

    // A value that is null, or not of type and skipped; valid stays for the
    // reader of the value.
    Status expectType(Type type)
    {
        const Type found = m_json.peek();
        if (found == Type::null)
            return m_json.null() ? Status::null : Status::invalid;
        if (found != type) {
            m_json.skip();
            return Status::invalid;
        }
        return Status::valid;
    }

    // A string up to units UTF-16 code units.
    Status string(QString &out, qsizetype units)
    {
        const Status status = expectType(Type::string);
        if (status != Status::valid)
            return status;
        TextSink sink(units);
        if (!m_json.string(sink))
            return Status::invalid;
        out = std::move(sink.text);
        return Status::valid;
    }

    // A string cut to characters when bounded.
    Status text(QString &out, qsizetype characters)
    {
        if (!bounded())
            return string(out, unbounded);
        const Status status = string(out, characters * unitsPerCharacter);
        if (status == Status::valid)
            out = Graphemes::prefix(out, characters).toString();
        return status;
    }

    Status optionalText(std::optional<QString> &out, qsizetype characters)
    {
        QString read;
        const Status status = text(read, characters);
        out = status == Status::valid ? std::optional(std::move(read)) : std::nullopt;
        return status;
    }

    Status uuid(QUuid &out)
    {
        QString read;
        Status status = string(read, shortText);
        if (status == Status::valid) {
            const std::optional<QUuid> parsed = UuidText::parse(read);
            status = parsed ? Status::valid : Status::invalid;
            out = parsed.value_or(QUuid());
        }
        return status;
    }

    Status contentType(ContentType &out)
    {
        QString read;
        Status status = string(read, shortText);
        if (status == Status::valid) {
            const std::optional<ContentType> parsed = fromRawValue<ContentType>(read);
            status = parsed ? Status::valid : Status::invalid;
            out = parsed.value_or(ContentType::plainText);
        }
        return status;
    }

    Status flag(bool &out)
    {
        const Status status = expectType(Type::boolean);
        if (status != Status::valid)
            return status;
        const std::optional<bool> read = m_json.boolean();
        out = read.value_or(false);
        return read ? Status::valid : Status::invalid;
    }

    Status number(JsonStream::Number &out)
    {
        const Status status = expectType(Type::number);
        if (status != Status::valid)
            return status;
        const std::optional<JsonStream::Number> read = m_json.number();
        out = read.value_or(JsonStream::Number {});
        return read ? Status::valid : Status::invalid;
    }

    Status date(QDateTime &out)
    {
        JsonStream::Number read;
        Status status = number(read);
        if (status == Status::valid) {
            out = DateCoding::fromSeconds(read.value);
            status = out.isValid() ? Status::valid : Status::invalid;
        }
        return status;
    }

    // A number that is a whole qint64, written as one or not.
    static bool whole(const JsonStream::Number &number, qint64 &out)
    {
        if (number.integer) {
            out = *number.integer;
            return true;
        }
        // 2^63 is a double, and one past the range.
        constexpr double limit = 9223372036854775808.0;
        if (number.value != std::trunc(number.value) || number.value < -limit || number.value >= limit)
            return false;
        out = qint64(number.value);
        return true;
    }

    Status integer(qint64 &out)
    {
        JsonStream::Number read;
        const Status status = number(read);
        if (status != Status::valid)
            return status;
        return whole(read, out) ? Status::valid : Status::invalid;
    }

    Status bytes(QByteArray &out)
    {
        const Status status = expectType(Type::string);
        if (status != Status::valid)
            return status;
        Base64Sink sink;
        if (!m_json.string(sink) || !sink.isValid())
            return Status::invalid;
        sink.bytes.squeeze();
        out = std::move(sink.bytes);
        return Status::valid;
    }

    Status optionalBytes(std::optional<QByteArray> &out)
    {
        QByteArray read;
        const Status status = bytes(read);
        out = status == Status::valid ? std::optional(std::move(read)) : std::nullopt;
        return status;
    }

    // Texts cut to characters each; when bounded, those past count are
    // read but left out.
    Status texts(QStringList &out, qsizetype characters, qsizetype count)
    {
        Status status = expectType(Type::array);
        if (status != Status::valid)
            return status;
        out.clear();
        if (!m_json.beginArray())
            return Status::invalid;
        while (m_json.nextElement()) {
            QString read;
            if (text(read, characters) != Status::valid)
                status = Status::invalid;
            else if (status == Status::valid && (!bounded() || out.size() < count))
                out.append(std::move(read));
        }
        if (status != Status::valid)
            out.clear();
        return m_json.failed() ? Status::invalid : status;
    }

    // Reads an array of records, each with read, which gives false for a
    // record that is damaged.
    template<typename Read> Status records(Read read)
    {
        Status status = expectType(Type::array);
        if (status != Status::valid)
            return status;
        if (!m_json.beginArray())
            return Status::invalid;
        while (m_json.nextElement()) {
            // The rest of a damaged list is only checked.
            if (status != Status::valid) {
                m_json.skip();
                continue;
            }
            if (m_json.peek() != Type::object) {
                m_json.skip();
                status = Status::invalid;
            } else if (!read()) {
                status = Status::invalid;
            }
        }
        return m_json.failed() ? Status::invalid : status;
    }

    // Each member of the next object, by name, to member; false when the
    // object is not whole.
    template<typename Member> bool members(Member member)
    {
        QByteArray name;
        if (!m_json.beginObject())
            return false;
        while (m_json.nextMember(name)) {
            if (!member(QByteArrayView(name)))
                m_json.skip();
        }
        return !m_json.failed();
    }

    bool entry(std::deque<BackupEntry> &out);
    bool snippet(QList<Snippet> &out, QList<QByteArray> &contents);
    bool application(QList<ExcludedApp> &out);

    JsonStream &m_json;
    const Texts m_texts;
};

bool Decoder::entry(std::deque<BackupEntry> &out)
{
    BackupEntry entry;
    std::array<Status, 11> status {};
    auto &[id, type, created, favorite, pinned, sensitive, content, source, preview, search, rich] = status;
    const bool whole = members([&](QByteArrayView name) {
        if (name == "id")
            id = uuid(entry.id);
        else if (name == "contentType")
            type = contentType(entry.contentType);
        else if (name == "createdAt")
            created = date(entry.createdAt);
        else if (name == "isFavorite")
            favorite = flag(entry.isFavorite);
        else if (name == "isPinned")
            pinned = flag(entry.isPinned);
        else if (name == "isSensitive")
            sensitive = flag(entry.isSensitive);
        else if (name == "content")
            content = bytes(entry.content);
        else if (name == "sourceApp")
            source = optionalText(entry.sourceApp, ImportBounds::nameCharacters);
        else if (name == "preview")
            preview = optionalText(entry.preview, ImportBounds::previewCharacters);
        // The longer cut until the kind of content is known.
        else if (name == "searchText")
            search = optionalText(entry.searchText, ImportBounds::recognizedSearchTextCharacters);
        else if (name == "rich")
            rich = optionalBytes(entry.rich);
        else
            return false;
        return true;
    });
    if (!whole || !acceptable(status, 7))
        return false;
    if (bounded() && entry.searchText && entry.contentType != ContentType::image)
        entry.searchText
            = Graphemes::prefix(*entry.searchText, ImportBounds::searchTextCharacters).toString();
    out.push_back(std::move(entry));
    return true;
}

bool Decoder::snippet(QList<Snippet> &out, QList<QByteArray> &contents)
{
    Snippet snippet;
    Utf8Sink content(bounded() ? ImportBounds::snippetContentLength : unbounded);
    std::array<Status, 9> status {};
    auto &[id, title, text, tags, favorite, created, updated, usage, group] = status;
    const bool whole = members([&](QByteArrayView name) {
        if (name == "id") {
            id = uuid(snippet.id);
        } else if (name == "title") {
            title = this->text(snippet.title, ImportBounds::titleCharacters);
        } else if (name == "content") {
            content.reset();
            text = expectType(Type::string);
            if (text == Status::valid) {
                text = m_json.string(content) ? Status::valid : Status::invalid;
                content.finish();
            }
        } else if (name == "tags") {
            tags = texts(snippet.tags, ImportBounds::tagCharacters, ImportBounds::tagCount);
        } else if (name == "isFavorite") {
            favorite = flag(snippet.isFavorite);
        } else if (name == "createdAt") {
            created = date(snippet.createdAt);
        } else if (name == "updatedAt") {
            updated = date(snippet.updatedAt);
        } else if (name == "usageCount") {
            usage = integer(snippet.usageCount);
        } else if (name == "group") {
            group = optionalText(snippet.group, ImportBounds::nameCharacters);
        } else {
            return false;
        }
        return true;
    });
    if (!whole || !acceptable(status, 8))
        return false;
    if (content.isTooLong())
        return true;
    out.append(std::move(snippet));
    contents.append(std::move(content.bytes));
    return true;
}

bool Decoder::application(QList<ExcludedApp> &out)
{
    ExcludedApp app;
    std::array<Status, 3> status {};
    auto &[id, identifier, name] = status;
    const bool whole = members([&](QByteArrayView member) {
        if (member == "id")
            id = uuid(app.id);
        else if (member == "bundleIdentifier")
            identifier = text(app.bundleIdentifier, ImportBounds::nameCharacters);
        else if (member == "name")
            name = text(app.name, ImportBounds::nameCharacters);
        else
            return false;
        return true;
    });
    if (!whole || !acceptable(status, status.size()))
        return false;
    if (!bounded() || out.size() < ImportBounds::applicationCount)
        out.append(std::move(app));
    return true;
}

std::expected<ReadPayload, BackupError> Decoder::payload()
{
    ReadPayload read;
    BackupPayload &payload = read.payload;
    std::array<Status, 7> status {};
    auto &[format, created, version, entries, snippets, applications, folders] = status;
    std::optional<double> formatNumber;
    if (m_json.peek() != Type::object) {
        m_json.skip();
        return std::unexpected(BackupError {BackupError::damaged});
    }
    // As with Qt's objects, the last of a repeated name counts. A list that
    // turns out damaged is dropped at once.
    members([&](QByteArrayView name) {
        if (name == "format") {
            JsonStream::Number number;
            qint64 value = 0;
            format = this->number(number);
            formatNumber = format == Status::valid ? std::optional(number.value) : std::nullopt;
            if (format == Status::valid && !whole(number, value))
                format = Status::invalid;
        } else if (name == "createdAt") {
            created = date(payload.createdAt);
        } else if (name == "appVersion") {
            version = text(payload.appVersion, ImportBounds::nameCharacters);
        } else if (name == "entries") {
            read.entries.clear();
            entries = records([&] { return entry(read.entries); });
            if (entries != Status::valid)
                read.entries.clear();
        } else if (name == "snippets") {
            payload.snippets.clear();
            read.snippetContents.clear();
            snippets = records([&] { return snippet(payload.snippets, read.snippetContents); });
            if (snippets != Status::valid) {
                payload.snippets.clear();
                read.snippetContents.clear();
            }
        } else if (name == "excludedApps") {
            payload.excludedApps.clear();
            applications = records([&] { return application(payload.excludedApps); });
            if (applications != Status::valid)
                payload.excludedApps.clear();
        } else if (name == "snippetFolders") {
            folders = texts(payload.snippetFolders, ImportBounds::nameCharacters, ImportBounds::folderCount);
        } else {
            return false;
        }
        return true;
    });
    if (m_json.failed() || !m_json.atEnd())
        return std::unexpected(BackupError {BackupError::damaged});
    if (formatNumber && *formatNumber > 1)
        return std::unexpected(BackupError {BackupError::newerVersion});
    if (!acceptable(status, status.size()))
        return std::unexpected(BackupError {BackupError::damaged});
    return read;
}

} // namespace

BackupPayload ReadPayload::joined() &&
{
    for (qsizetype i = 0; i < payload.snippets.size(); ++i)
        payload.snippets[i].content = QString::fromUtf8(snippetContents.at(i));
    payload.entries = QList<BackupEntry>(
        std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
    return std::move(payload);
}

std::expected<ReadPayload, BackupError> PayloadReader::read(JsonStream &json, Texts texts)
{
    return Decoder(json, texts).payload();
}

std::expected<ReadPayload, BackupError> PayloadReader::readFile(const QString &path, QStringView password,
    Texts texts, qsizetype payloadLimit, const std::function<bool()> &stop)
{
    const auto stream = BackupStream::openFile(path, password, payloadLimit);
    if (!stream)
        return std::unexpected(stream.error());
    bool stopped = false;
    JsonStream json([&](char *out, qsizetype size) -> qsizetype {
        stopped = stopped || (stop && stop());
        return stopped ? 0 : (*stream)->read(out, size);
    });
    auto payload = read(json, texts);
    // The rest of the file is not worth reading for its tag.
    if (stopped)
        return std::unexpected(BackupError {BackupError::interrupted});
    if (const auto finished = (*stream)->finish(); !finished)
        return std::unexpected(finished.error());
    return payload;
}
