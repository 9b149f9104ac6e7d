#pragma once

#include <QString>
#include <QtGlobal>

// Where the named counters of snippet templates keep their last value.
class SnippetCounters {
public:
    virtual ~SnippetCounters() = default;

    // 0 for a counter never used.
    virtual qint64 value(const QString &name) const = 0;
    // Stored at once.
    virtual void setValue(const QString &name, qint64 value) = 0;

protected:
    SnippetCounters() = default;
    Q_DISABLE_COPY(SnippetCounters)
};
