#pragma once

#include <QString>

// A write the settings file did not take: the file, and the system's reason.
struct SettingsWriteError {
    QString filePath;
    QString reason;
};

QString description(const SettingsWriteError &error);
