#include "store/SnippetError.h"

SnippetError toSnippetError(const SealingError &error)
{
    return std::visit([](auto code) { return SnippetError(code); }, error);
}

QString description(const SnippetError &error)
{
    return std::visit([](const auto &value) { return description(value); }, error);
}
