#pragma once

#include <QString>

// Why a copied picture is not captured.
struct CapturedImageError {
    enum class Code {
        // Neither PNG nor TIFF.
        unsupportedFormat,
        tooLarge,
        undecodable,
    };

    Code code;
    // For tooLarge: how large, in words.
    QString detail {};

    bool operator==(const CapturedImageError &other) const = default;
};

QString description(const CapturedImageError &error);
