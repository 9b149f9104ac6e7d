#include "tools/SingleScriptReader.h"

#include <leptonica/allheaders.h>

#include <algorithm>

SingleScriptReader::SingleScriptReader(const QString &model) : m_model(model)
{
}

SingleScriptReader::~SingleScriptReader()
{
    m_api.End();
}

std::optional<RecognizedLine> SingleScriptReader::read(Pix *image, const RecognizedLine &line)
{
    if (m_state == State::NotLoaded) {
        const bool loaded = m_api.Init(nullptr, m_model.toUtf8().constData(), tesseract::OEM_LSTM_ONLY) == 0;
        m_state = loaded ? State::Ready : State::Failed;
        if (loaded)
            m_api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    }
    if (m_state != State::Ready)
        return std::nullopt;
    // Tesseract's box is tight; a margin keeps the letters' edges and
    // accents, less than the gap to the next line.
    const int margin = (line.bottom - line.top) / 4 + 2;
    const int left = std::max(0, line.left - margin);
    const int top = std::max(0, line.top - margin);
    Box *box = boxCreate(left, top, line.right - line.left + 2 * margin, line.bottom - line.top + 2 * margin);
    Pix *clip = pixClipRectangle(image, box, nullptr);
    boxDestroy(&box);
    if (!clip)
        return std::nullopt;
    m_api.SetImage(clip);
    const bool recognized = m_api.Recognize(nullptr) == 0;
    QList<RecognizedLine> lines;
    if (recognized)
        lines = recognizedLines(m_api);
    m_api.Clear();
    pixDestroy(&clip);
    if (lines.size() != 1)
        return std::nullopt;
    RecognizedLine reread = lines.first();
    reread.left += left;
    reread.right += left;
    reread.top += top;
    reread.bottom += top;
    for (RecognizedWord &word : reread.words) {
        word.left += left;
        word.right += left;
    }
    return reread;
}
