#include "store/SnippetError.h"

SnippetError toSnippetError(const SealingError &error)
{
    return std::visit([](auto code) { return SnippetError(code); }, error);
}

QString description(const SnippetError &error)
{
    return std::visit(
        [](const auto &value) {
            if constexpr (std::is_same_v<std::decay_t<decltype(value)>, StorageError>)
                return value.errorDescription();
            else
                return description(value);
        },
        error);
}
