#pragma once

#include <QString>

// A failure of the DEFLATE compressor: zlib's status, passed on unchanged.
struct CompressionError {
    int status;

    bool operator==(const CompressionError &other) const = default;
};

QString description(CompressionError error);
