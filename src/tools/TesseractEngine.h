#pragma once

#include "tools/SingleScriptReader.h"
#include "tools/TextRecognitionModule.h"

#include <QString>
#include <QStringList>

#include <tesseract/baseapi.h>

#include <memory>
#include <optional>

struct Pix;

// Tesseract reading Latin, Cyrillic and Greek text, each line in its own
// script: a page is read with the three models together, a small line that
// came out in several scripts is read again at twice its size, then a line
// that came out mostly Greek is read again with the Greek model alone, and a
// mostly Latin line with words in another script with the Latin model alone.
// Greek comes out in modern spelling unless it reads as polytonic.
// Loading the models costs far more than reading one image, so each worker
// thread keeps its own engine for as long as the thread lives; an engine is
// never shared between threads.
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
    // The line's text in its script.
    QString inOwnScript(Pix *image, const RecognizedLine &line);

    tesseract::TessBaseAPI m_api;
    bool m_ready = false;
    // Null when their model is missing.
    std::unique_ptr<SingleScriptReader> m_latin;
    std::unique_ptr<SingleScriptReader> m_greek;
};
