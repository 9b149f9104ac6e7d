#include "tools/RecognizedLine.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <leptonica/allheaders.h>

#include <algorithm>
#include <memory>

namespace {

QString utf8Text(const tesseract::ResultIterator &iterator, tesseract::PageIteratorLevel level)
{
    const std::unique_ptr<char[]> text(iterator.GetUTF8Text(level));
    return text ? QString::fromUtf8(text.get()) : QString();
}

struct PixDeleter {
    void operator()(Pix *pix) const { pixDestroy(&pix); }
};
using PixPointer = std::unique_ptr<Pix, PixDeleter>;

// The mean grey of the picture's outermost pixels: its background.
l_uint32 edgeGrey(Pix *grey)
{
    const int width = int(pixGetWidth(grey));
    const int height = int(pixGetHeight(grey));
    quint64 sum = 0;
    l_uint32 value = 0;
    for (int x = 0; x < width; ++x) {
        pixGetPixel(grey, x, 0, &value);
        sum += value;
        pixGetPixel(grey, x, height - 1, &value);
        sum += value;
    }
    for (int y = 0; y < height; ++y) {
        pixGetPixel(grey, 0, y, &value);
        sum += value;
        pixGetPixel(grey, width - 1, y, &value);
        sum += value;
    }
    return l_uint32(sum / quint64(2 * (width + height)));
}

// The box of image in grey, scaled, within a border of its background;
// null when it cannot be.
PixPointer clipOf(Pix *image, Box *box, int scale, int border)
{
    const PixPointer clip(pixClipRectangle(image, box, nullptr));
    if (!clip)
        return nullptr;
    PixPointer grey(pixConvertTo8(clip.get(), 0));
    if (grey && scale > 1)
        grey.reset(pixScale(grey.get(), float(scale), float(scale)));
    if (!grey)
        return nullptr;
    // Read close to the text, the Greek model sees a full stop after the
    // last word.
    return PixPointer(pixAddBorder(grey.get(), border, edgeGrey(grey.get())));
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

std::optional<RecognizedLine> readLineAgain(
    tesseract::TessBaseAPI &api, Pix *image, const RecognizedLine &line)
{
    // Tesseract's box is tight; the cut keeps the letters' edges and
    // accents, less than the gap to the next line.
    const int height = line.bottom - line.top;
    const int edge = height / 4 + 2;
    const int left = std::max(0, line.left - edge);
    const int top = std::max(0, line.top - edge);
    const int scale = line.small() ? 2 : 1;
    const int border = height * scale;
    Box *box = boxCreate(left, top, line.right - line.left + 2 * edge, height + 2 * edge);
    const PixPointer clip = clipOf(image, box, scale, border);
    boxDestroy(&box);
    if (!clip)
        return std::nullopt;
    api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    api.SetImage(clip.get());
    const bool recognized = api.Recognize(nullptr) == 0;
    QList<RecognizedLine> lines;
    if (recognized)
        lines = recognizedLines(api);
    api.Clear();
    if (lines.size() != 1)
        return std::nullopt;
    RecognizedLine reread = lines.first();
    const auto inImage = [&](int at, int origin) { return origin + (at - border) / scale; };
    reread.left = inImage(reread.left, left);
    reread.right = inImage(reread.right, left);
    reread.top = inImage(reread.top, top);
    reread.bottom = inImage(reread.bottom, top);
    for (RecognizedWord &word : reread.words) {
        word.left = inImage(word.left, left);
        word.right = inImage(word.right, left);
    }
    return reread;
}
