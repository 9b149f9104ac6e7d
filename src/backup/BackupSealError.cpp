#include "backup/BackupSealError.h"

QString description(const BackupSealError &error)
{
    return std::visit([](const auto &value) { return description(value); }, error);
}
