#pragma once

#include <QString>
#include <QVariant>

// The kinds a stored setting can have. Each is kept as such in the settings
// file, so a value written as one kind is never read back as another.
enum class SettingKind {
    boolean, // bool
    integer, // qint64
    text, // QString
    textList, // QStringList
    data, // QByteArray
};

// One stored setting: its key, its kind and what it reads as when the key is
// missing or holds a value of another kind.
struct SettingDefinition {
    QString key;
    SettingKind kind;
    QVariant defaultValue;
};
