#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tesseract {
class TessBaseAPI;
}
struct Pix;

struct RecognizedWord {
    QString text;
    // Tesseract's 0 to 100.
    float confidence = 0;
    int left = 0;
    int right = 0;
};

// One text line as tesseract read it, its box in the picture's pixels.
struct RecognizedLine {
    QString text;
    QList<RecognizedWord> words;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    // Text this low is read better at twice its size.
    bool small() const { return bottom - top < 20; }
};

// The lines of the picture last recognised by api, in its reading order.
QList<RecognizedLine> recognizedLines(tesseract::TessBaseAPI &api);

// The text at line's place in image read again by api as one line, with a
// margin of the line's height around it, small text at twice its size; its
// boxes in image's pixels.
std::optional<RecognizedLine> readLineAgain(
    tesseract::TessBaseAPI &api, Pix *image, const RecognizedLine &line);
