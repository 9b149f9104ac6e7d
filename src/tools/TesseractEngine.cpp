#include "tools/TesseractEngine.h"

#include <QStringList>

#include <leptonica/allheaders.h>
#include <omp.h>
#include <tesseract/resultiterator.h>

#include <memory>
#include <mutex>

namespace {

// Both libraries write warnings and errors to stderr ("Error in pixReadMem",
// "Estimating resolution"); a failed recognition is reported by its result
// alone. These settings are process-wide, so they are made once, before any
// engine runs.
void silenceLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        setMsgSeverity(L_SEVERITY_NONE);
        leptSetStderrHandler([](const char *) {});
        tesseract::TessBaseAPI api;
        api.SetVariable("debug_file", "/dev/null");
    });
}

} // namespace

TesseractEngine *TesseractEngine::forCurrentThread()
{
    silenceLibraries();
    thread_local TesseractEngine engine;
    return engine.m_ready ? &engine : nullptr;
}

TesseractEngine::TesseractEngine()
{
    // Tesseract spreads each line over OpenMP threads whose busy-waiting
    // stalls when the cores are busy (seconds instead of a fifth of one).
    // Recognitions already run side by side on the pool, so this thread's
    // engine works alone.
    omp_set_max_active_levels(0);
    // Debian's model path is compiled into the library.
    m_ready = m_api.Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) == 0;
    // Whole screenshots and documents, not a single block of text.
    if (m_ready)
        m_api.SetPageSegMode(tesseract::PSM_AUTO);
}

TesseractEngine::~TesseractEngine()
{
    m_api.End();
}

std::optional<QString> TesseractEngine::recognize(Pix *image)
{
    m_api.SetImage(image);
    const bool recognized = m_api.Recognize(nullptr) == 0;
    QStringList lines;
    if (recognized) {
        const std::unique_ptr<tesseract::ResultIterator> line(m_api.GetIterator());
        if (line && !line->Empty(tesseract::RIL_TEXTLINE)) {
            do {
                const std::unique_ptr<char[]> text(line->GetUTF8Text(tesseract::RIL_TEXTLINE));
                if (!text)
                    continue;
                QString lineText = QString::fromUtf8(text.get());
                // Tesseract ends each line with LF, and a paragraph's last
                // line with another.
                while (lineText.endsWith(u'\n'))
                    lineText.chop(1);
                lines.append(lineText);
            } while (line->Next(tesseract::RIL_TEXTLINE));
        }
    }
    m_api.Clear();
    if (!recognized)
        return std::nullopt;
    return lines.join(u'\n');
}
