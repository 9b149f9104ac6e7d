#pragma once

#include "settings/SettingDefinition.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

// A settings file that keeps the kind of every value across processes. Plain
// INI hands integers, booleans and one-item lists back as text once the
// process that wrote them is gone; this file is JSON, with data as base64, so
// a value reads back as exactly what was written. Values of kinds that no
// setting has are kept as they were found.
class TypedSettings final {
    Q_DISABLE_COPY(TypedSettings)

public:
    // An unreadable file is moved aside (and logged) rather than overwritten by
    // the next change.
    explicit TypedSettings(const QString &filePath);

    // ~/.config/Vantorell/Vantorell.conf, or its XDG_CONFIG_HOME counterpart.
    static QString standardFilePath();

    QString filePath() const { return m_settings.fileName(); }

    // The stored value when it is of the setting's kind, else its default.
    // Reading never changes what is stored.
    QVariant value(const SettingDefinition &setting) const;

    // The stored value when it is of kind; invalid when missing or of another
    // kind.
    QVariant storedValue(const QString &key, SettingKind kind) const;

    // Stores value and writes the file at once. value must be of the
    // setting's kind; an integer setting also takes an int.
    void setValue(const SettingDefinition &setting, const QVariant &value);
    // As setValue for each, with one write of the file.
    void setValues(const QList<std::pair<SettingDefinition, QVariant>> &values);

    // Every stored key, and values exactly as stored, whatever their kind:
    // for copying settings from one file to another.
    QStringList keys() const { return m_settings.allKeys(); }
    QVariant rawValue(const QString &key) const { return m_settings.value(key); }
    void setRawValue(const QString &key, const QVariant &value);

    // Keeps the file and its folder to this user. Not done on reading: a
    // file read from elsewhere stays as it was.
    void makePrivate() const;

private:
    static QVariant typed(const SettingDefinition &setting, const QVariant &value);
    void write(const QList<std::pair<QString, QVariant>> &values);

    mutable QSettings m_settings;
};
