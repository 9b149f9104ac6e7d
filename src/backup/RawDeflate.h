#pragma once

#include "backup/CompressionError.h"

#include <QByteArray>
#include <QByteArrayView>

#include <expected>
#include <optional>

// Raw DEFLATE streams: no zlib header, no checksum trailer.
namespace RawDeflate {

std::expected<QByteArray, CompressionError> compress(QByteArrayView data);

// The most bytes compress() can give for size input bytes.
qsizetype bound(qsizetype size);

// None for anything but exactly one complete stream, or when it inflates
// to more than limit bytes.
std::optional<QByteArray> inflate(QByteArrayView stream, qsizetype limit);

} // namespace RawDeflate
