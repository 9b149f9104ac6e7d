#pragma once

#include <QString>

// A settings file that could not be read: every setting starts again from
// its default.
struct SettingsReset {
    QString filePath;
    // Where the unreadable file was moved; empty when it could not be moved.
    QString keptPath;
};
