#include "tools/SingleScriptReader.h"

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
    }
    if (m_state != State::Ready)
        return std::nullopt;
    return readLineAgain(m_api, image, line);
}
