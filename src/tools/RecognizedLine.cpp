#include "tools/RecognizedLine.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <memory>

namespace {

QString utf8Text(const tesseract::ResultIterator &iterator, tesseract::PageIteratorLevel level)
{
    const std::unique_ptr<char[]> text(iterator.GetUTF8Text(level));
    return text ? QString::fromUtf8(text.get()) : QString();
}

} // namespace

QList<RecognizedLine> recognizedLines(tesseract::TessBaseAPI &api)
{
    QList<RecognizedLine> lines;
    const std::unique_ptr<tesseract::ResultIterator> word(api.GetIterator());
    if (!word || word->Empty(tesseract::RIL_WORD))
        return lines;
    do {
        if (lines.isEmpty() || word->IsAtBeginningOf(tesseract::RIL_TEXTLINE)) {
            RecognizedLine &line = lines.emplace_back();
            line.text = utf8Text(*word, tesseract::RIL_TEXTLINE);
            // Tesseract ends each line with LF, and a paragraph's last line
            // with another.
            while (line.text.endsWith(u'\n'))
                line.text.chop(1);
            word->BoundingBox(tesseract::RIL_TEXTLINE, &line.left, &line.top, &line.right, &line.bottom);
        }
        RecognizedWord &recognized = lines.last().words.emplace_back();
        recognized.text = utf8Text(*word, tesseract::RIL_WORD);
        recognized.confidence = word->Confidence(tesseract::RIL_WORD);
        int top = 0;
        int bottom = 0;
        word->BoundingBox(tesseract::RIL_WORD, &recognized.left, &top, &recognized.right, &bottom);
    } while (word->Next(tesseract::RIL_WORD));
    return lines;
}
