#pragma once

#include "settings/SettingsManager.h"
#include "tools/SnippetCounters.h"

// The counters in the settings file, where they outlive the process.
class SettingsSnippetCounters final : public SnippetCounters {
public:
    explicit SettingsSnippetCounters(SettingsManager &settings) : m_settings(settings) { }

    qint64 value(const QString &name) const override { return m_settings.snippetCounter(name); }
    void setValues(const QList<std::pair<QString, qint64>> &values) override
    {
        m_settings.setSnippetCounters(values);
    }

private:
    SettingsManager &m_settings;
};
