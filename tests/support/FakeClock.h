#pragma once

#include "base/Clock.h"

// A clock that moves only when told to.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime::fromSecsSinceEpoch(1'750'000'000, Qt::UTC))
        : m_now(std::move(start))
    {
    }

    QDateTime now() const override { return m_now; }
    std::chrono::milliseconds elapsed() const override { return m_elapsed; }

    // Moves both clocks forward.
    void advance(std::chrono::milliseconds step)
    {
        m_now = m_now.addMSecs(step.count());
        m_elapsed += step;
    }

    // Moves only the wall clock, as a user changing the date does.
    void setWallTime(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
    std::chrono::milliseconds m_elapsed {1'000'000};
};
