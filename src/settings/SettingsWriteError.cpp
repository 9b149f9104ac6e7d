#include "settings/SettingsWriteError.h"

using namespace Qt::StringLiterals;

QString description(const SettingsWriteError &error)
{
    return u"Vantorell couldn't write its settings to “"_s + error.filePath + u"”: "_s + error.reason + u'.';
}
