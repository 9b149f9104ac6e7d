#pragma once

#include "tools/SnippetCounters.h"

#include <QMap>

// Counters in memory.
class FakeSnippetCounters final : public SnippetCounters {
public:
    FakeSnippetCounters() = default;

    qint64 value(const QString &name) const override { return values.value(name); }
    void setValues(const QList<std::pair<QString, qint64>> &changed) override
    {
        for (const auto &[name, value] : changed)
            values.insert(name, value);
        ++writes;
    }

    QMap<QString, qint64> values;
    int writes = 0;
};
