#pragma once

#include <QString>

#include <tesseract/baseapi.h>

#include <optional>

struct Pix;

// One tesseract instance with the English model. Loading the model costs
// far more than reading one image, so each worker thread keeps its own
// engine for as long as the thread lives; an engine is never shared between
// threads.
class TesseractEngine final {
    Q_DISABLE_COPY(TesseractEngine)

public:
    // The calling thread's engine, started on first use; null when
    // tesseract cannot start (English data missing).
    static TesseractEngine *forCurrentThread();

    ~TesseractEngine();

    // The recognised lines in tesseract's reading order, joined with LF;
    // none when recognition fails.
    std::optional<QString> recognize(Pix *image);

private:
    TesseractEngine();

    tesseract::TessBaseAPI m_api;
    bool m_ready = false;
};
