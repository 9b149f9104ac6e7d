#include "tools/TextRecognition.h"

#include "text/Graphemes.h"
#include "tools/TesseractEngine.h"

#include <QtConcurrentRun>

#include <leptonica/allheaders.h>

#include <memory>

namespace {

struct PixDeleter {
    void operator()(Pix *pix) const { pixDestroy(&pix); }
};
using PixPointer = std::unique_ptr<Pix, PixDeleter>;

} // namespace

namespace TextRecognition {

std::optional<QString> recognizeText(const QByteArray &imageBytes)
{
    if (imageBytes.isEmpty())
        return std::nullopt;
    TesseractEngine *engine = TesseractEngine::forCurrentThread();
    if (!engine)
        return std::nullopt;
    // pixReadMem reads the first page or frame only.
    const PixPointer decoded(
        pixReadMem(reinterpret_cast<const l_uint8 *>(imageBytes.constData()), size_t(imageBytes.size())));
    if (!decoded)
        return std::nullopt;
    const auto text = engine->recognize(decoded.get());
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
