#pragma once

#include <QList>
#include <QString>

namespace tesseract {
class TessBaseAPI;
}

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
};

// The lines of the picture last recognised by api, in its reading order.
QList<RecognizedLine> recognizedLines(tesseract::TessBaseAPI &api);
