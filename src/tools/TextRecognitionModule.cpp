#include "tools/TextRecognitionModule.h"

#include "tools/TesseractEngine.h"

#include <leptonica/allheaders.h>

#include <memory>

namespace {

struct PixDeleter {
    void operator()(Pix *pix) const { pixDestroy(&pix); }
};
using PixPointer = std::unique_ptr<Pix, PixDeleter>;

} // namespace

extern "C" Q_DECL_EXPORT void vantorellRecognizeText(
    const QByteArray &imageBytes, RecognitionLogFunction log, std::optional<QString> &text)
{
    text = std::nullopt;
    TesseractEngine *engine = TesseractEngine::forCurrentThread(log);
    if (!engine)
        return;
    // pixReadMem reads the first page or frame only.
    const PixPointer decoded(
        pixReadMem(reinterpret_cast<const l_uint8 *>(imageBytes.constData()), size_t(imageBytes.size())));
    if (decoded)
        text = engine->recognize(decoded.get());
}
