#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <utility>

// Where the named counters of snippet templates keep their last value.
class SnippetCounters {
public:
    virtual ~SnippetCounters() = default;

    // 0 for a counter never used.
    virtual qint64 value(const QString &name) const = 0;
    // Names and their new values, stored at once, together.
    virtual void setValues(const QList<std::pair<QString, qint64>> &values) = 0;

protected:
    SnippetCounters() = default;
    Q_DISABLE_COPY(SnippetCounters)
};
