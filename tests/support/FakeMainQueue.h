#pragma once

#include "base/MainQueue.h"

#include <QList>
#include <QPointer>

// A queue whose time moves only when the test advances it; work due at the
// same time runs in the order it was queued.
class FakeMainQueue final : public MainQueue {
public:
    FakeMainQueue() = default;

    void after(std::chrono::milliseconds delay, QObject *context, std::function<void()> work) override
    {
        m_pending.append({m_now + delay, m_sequence++, context, std::move(work)});
    }

    // Runs everything due up to now + step, moving time to each due point.
    void advance(std::chrono::milliseconds step)
    {
        const std::chrono::milliseconds end = m_now + step;
        while (true) {
            qsizetype next = -1;
            for (qsizetype i = 0; i < m_pending.size(); ++i) {
                const Pending &candidate = m_pending.at(i);
                if (candidate.due > end)
                    continue;
                if (next < 0 || candidate.due < m_pending.at(next).due
                    || (candidate.due == m_pending.at(next).due
                        && candidate.sequence < m_pending.at(next).sequence))
                    next = i;
            }
            if (next < 0)
                break;
            Pending due = m_pending.takeAt(next);
            m_now = due.due;
            if (due.context)
                due.work();
        }
        m_now = end;
    }

    std::chrono::milliseconds now() const { return m_now; }
    qsizetype pendingCount() const { return m_pending.size(); }

private:
    struct Pending {
        std::chrono::milliseconds due;
        quint64 sequence;
        QPointer<QObject> context;
        std::function<void()> work;
    };

    QList<Pending> m_pending;
    std::chrono::milliseconds m_now {0};
    quint64 m_sequence = 0;
};
