#include "FuzzCheck.h"

#include "text/RtfReader.h"

#include <cstddef>
#include <cstdint>

static void readAndCheck(QByteArrayView input)
{
    const std::optional<QString> text = RtfReader::read(input);
    if (!text)
        return;
    fuzzCheck(text->size() <= 2 * input.size(), "at most two UTF-16 units a byte");
    fuzzCheck(isWellFormedUtf16(*text), "no lone surrogate");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    readAndCheck(input);
    // Behind a header, every input reaches the body of the reader.
    QByteArray document("{\\rtf1 ");
    document.append(input);
    readAndCheck(document);
    return 0;
}
