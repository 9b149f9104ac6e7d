#include "crypto/SealingError.h"

QString description(const SealingError &error)
{
    return std::visit([](auto code) { return description(code); }, error);
}
