#include "backup/CompressionError.h"

#include <zlib.h>

QString description(CompressionError error)
{
    return QString::fromLatin1(zError(error.status));
}
