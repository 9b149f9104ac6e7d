#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Strict UTF-8 for decoded bytes: anything malformed is refused, never
// replaced.
namespace Utf8Text {

// The text of the bytes, byte for byte (a leading byte-order mark included);
// none when they are not valid UTF-8.
std::optional<QString> decode(QByteArrayView bytes);

// The size of the text's UTF-8 form, without building it.
qsizetype size(QStringView text);

} // namespace Utf8Text
