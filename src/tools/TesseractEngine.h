#pragma once

#include "tools/TextRecognitionModule.h"

#include <QString>
#include <QStringList>

#include <tesseract/baseapi.h>

#include <optional>

struct Pix;

// One tesseract instance reading Latin, Cyrillic and Greek text, each word
// in the script it reads best. Loading the models costs far more than
// reading one image, so each worker thread keeps its own engine for as long
// as the thread lives; an engine is never shared between threads.
class TesseractEngine final {
    Q_DISABLE_COPY(TesseractEngine)

public:
    // The calling thread's engine, started on first use; null when no model
    // loads. A missing model is logged.
    static TesseractEngine *forCurrentThread(RecognitionLogFunction log);

    ~TesseractEngine();

    // The recognised lines in tesseract's reading order, joined with LF;
    // none when recognition fails.
    std::optional<QString> recognize(Pix *image);

private:
    explicit TesseractEngine(RecognitionLogFunction log);

    // Starts tesseract with those of models that load; their names.
    QStringList load(const QStringList &models);

    tesseract::TessBaseAPI m_api;
    bool m_ready = false;
};
