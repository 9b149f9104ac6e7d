#include "FuzzCheck.h"

#include "text/LinkCleaner.h"
#include "text/LinkFinder.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

static void cleanAndCheck(const QString &text)
{
    qsizetype end = 0;
    for (const LinkFinder::Link &link : LinkFinder::findLinks(text)) {
        fuzzCheck(link.length > 0 && link.start >= end && link.start + link.length <= text.size(),
            "links lie in the text, in order, without overlap");
        end = link.start + link.length;
    }
    const QString cleaned = LinkCleaner::cleanLinks(text);
    fuzzCheck(cleaned.size() <= text.size(), "cleaning only removes");
    fuzzCheck(LinkCleaner::cleanLinks(cleaned) == cleaned, "nothing left to remove after cleaning");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    cleanAndCheck(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    // The same bytes as UTF-16 reach lone surrogates and every code point.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * 2);
    cleanAndCheck(utf16);
    return 0;
}
