#pragma once

#include <QImage>
#include <QString>

#include <optional>

// The QR code of a text's UTF-8 bytes (byte mode, error correction M, the
// smallest version that holds them) inside a quiet zone of four modules, each
// module scale × scale pixels, black on white. None for an empty text, one
// past the largest version's capacity, or a scale below 1.
std::optional<QImage> qrCodeImage(const QString &text, int scale);
