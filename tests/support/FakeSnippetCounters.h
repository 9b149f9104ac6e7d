#pragma once

#include "tools/SnippetCounters.h"

#include <QMap>

// Counters in memory.
class FakeSnippetCounters final : public SnippetCounters {
public:
    FakeSnippetCounters() = default;

    qint64 value(const QString &name) const override { return values.value(name); }
    void setValue(const QString &name, qint64 value) override { values.insert(name, value); }

    QMap<QString, qint64> values;
};
