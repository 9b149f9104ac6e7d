#pragma once

#include "tools/RecognizedLine.h"

#include <QString>

#include <tesseract/baseapi.h>

#include <optional>

struct Pix;

// Reads lines of a picture again with one script's model alone. The model
// loads on the first line, so a thread that never needs it does not hold it.
class SingleScriptReader final {
    Q_DISABLE_COPY(SingleScriptReader)

public:
    explicit SingleScriptReader(const QString &model);
    ~SingleScriptReader();

    // The line at the place where line was read in image; none when the
    // model does not load or reads nothing there.
    std::optional<RecognizedLine> read(Pix *image, const RecognizedLine &line);

private:
    enum class State { NotLoaded, Ready, Failed };

    QString m_model;
    State m_state = State::NotLoaded;
    tesseract::TessBaseAPI m_api;
};
