#include "FuzzCheck.h"

#include "backup/JsonStream.h"

#include <QJsonDocument>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Whether JSON read a few bytes at a time is one object or array and
// nothing after it, values and all checked.
static bool readsWhole(QByteArrayView json, qsizetype piece)
{
    qsizetype position = 0;
    JsonStream stream([&](char *out, qsizetype size) {
        const qsizetype given = std::min({size, piece, json.size() - position});
        std::memcpy(out, json.data() + position, size_t(given));
        position += given;
        return given;
    });
    const JsonStream::Type type = stream.peek();
    return (type == JsonStream::Type::object || type == JsonStream::Type::array) && stream.skip()
        && stream.atEnd();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    QJsonParseError error;
    QJsonDocument::fromJson(json, &error);
    const bool qtReads = error.error == QJsonParseError::NoError;
    const qsizetype piece = size > 0 ? 1 + data[0] % 7 : 1;
    fuzzCheck(readsWhole(json, piece) == qtReads, "reads what Qt's parser reads, and only that");
    fuzzCheck(readsWhole(json, 64 * 1024) == qtReads, "the same in one piece");
    return 0;
}
