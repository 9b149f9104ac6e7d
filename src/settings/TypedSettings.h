#pragma once

#include "settings/SettingDefinition.h"
#include "settings/SettingsReset.h"
#include "settings/SettingsWriteError.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <expected>
#include <optional>
#include <utility>

// A settings file that keeps the kind of every value across processes. Plain
// INI hands integers, booleans and one-item lists back as text once the
// process that wrote them is gone; this file is JSON, with data as base64, so
// a value reads back as exactly what was written. Values of kinds that no
// setting has are kept as they were found. Every write replaces the whole
// file atomically, so a write that fails leaves it as it was.
class TypedSettings final {
    Q_DISABLE_COPY(TypedSettings)

public:
    // An unreadable file is moved aside (and logged) rather than overwritten by
    // the next change.
    explicit TypedSettings(QString filePath);
    // Tries once more to save what the file did not take.
    ~TypedSettings();

    // ~/.config/Vantorell/Vantorell.conf, or its XDG_CONFIG_HOME counterpart.
    static QString standardFilePath();

    QString filePath() const { return m_filePath; }
    // Set when the file was there but could not be read, so every value
    // reads as its default.
    std::optional<SettingsReset> resetOnRead() const { return m_resetOnRead; }

    // The stored value when it is of the setting's kind, else its default.
    // Reading never changes what is stored.
    QVariant value(const SettingDefinition &setting) const;

    // The stored value when it is of kind; invalid when missing or of another
    // kind.
    QVariant storedValue(const QString &key, SettingKind kind) const;

    // Stores value and writes the file at once. value must be of the
    // setting's kind; an integer setting also takes an int. Fails when the
    // file does not hold every value afterwards: the value still holds here,
    // and the next write that succeeds saves it with every other. The first
    // failure after a success is logged.
    [[nodiscard]] std::expected<void, SettingsWriteError> setValue(
        const SettingDefinition &setting, const QVariant &value);
    // As setValue for each, with one write of the file.
    [[nodiscard]] std::expected<void, SettingsWriteError> setValues(
        const QList<std::pair<SettingDefinition, QVariant>> &values);

    // Every stored key, and values exactly as stored, whatever their kind:
    // for copying settings from one file to another.
    QStringList keys() const { return m_values.keys(); }
    QVariant rawValue(const QString &key) const { return m_values.value(key); }
    [[nodiscard]] std::expected<void, SettingsWriteError> setRawValue(
        const QString &key, const QVariant &value);

    // Keeps the file and its folder to this user. Not done on reading: a
    // file read from elsewhere stays as it was.
    void makePrivate() const;

private:
    static QVariant typed(const SettingDefinition &setting, const QVariant &value);
    // changes: whether a value reads otherwise than before.
    std::expected<void, SettingsWriteError> write(
        const QList<std::pair<QString, QVariant>> &values, bool changes);
    std::expected<void, SettingsWriteError> save() const;

    QString m_filePath;
    QVariantMap m_values;
    std::optional<SettingsReset> m_resetOnRead;
    // Whether the file holds every value: false from a change it did not take
    // until a write it takes.
    bool m_saved = true;
};
