#pragma once

#include <QByteArray>
#include <QFuture>
#include <QString>

#include <optional>

// Reads the text shown in an encoded image.
namespace TextRecognition {

// The text of the first frame of any image format leptonica decodes: one
// recognised line per line, the whole trimmed of white space and line
// breaks. None for bytes that are not an image, a failed recognition, or no
// text. Blocks for a noticeable time: call it on a worker thread.
std::optional<QString> recognizeText(const QByteArray &imageBytes);

// Runs recognizeText on the shared thread pool.
QFuture<std::optional<QString>> recognizeTextAsync(const QByteArray &imageBytes);

} // namespace TextRecognition
