#include "tools/TextRecognition.h"

#include "base/Log.h"
#include "text/Graphemes.h"
#include "tools/TextRecognitionModule.h"

#include <QLibrary>
#include <QtConcurrentRun>

using namespace Qt::StringLiterals;

namespace {

// Loaded on first use and kept; null, once logged, when it cannot load.
RecognizeTextFunction recognizer()
{
    static const RecognizeTextFunction function = [] {
        QLibrary module(QStringLiteral(VT_TEXT_RECOGNITION_MODULE));
        module.setLoadHints(QLibrary::PreventUnloadHint);
        const auto resolved = reinterpret_cast<RecognizeTextFunction>(module.resolve(recognizeTextSymbol));
        if (!resolved)
            Log::write(u"Text recognition is not available: "_s + module.errorString());
        return resolved;
    }();
    return function;
}

} // namespace

namespace TextRecognition {

std::optional<QString> recognizeText(const QByteArray &imageBytes)
{
    if (imageBytes.isEmpty())
        return std::nullopt;
    const RecognizeTextFunction recognize = recognizer();
    if (!recognize)
        return std::nullopt;
    std::optional<QString> text;
    recognize(imageBytes, &Log::write, text);
    if (!text)
        return std::nullopt;
    const QStringView trimmed = Graphemes::trimmed(*text);
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed.toString();
}

QFuture<std::optional<QString>> recognizeTextAsync(const QByteArray &imageBytes)
{
    return QtConcurrent::run(&recognizeText, imageBytes);
}

} // namespace TextRecognition
