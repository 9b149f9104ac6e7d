#pragma once

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class Clock;

// The history rows' age and count-down texts, from one pair of ICU
// formatters shared by all rows and made for the first one, and the one tick
// that refreshes them every second while the panel is shown: a timer per row
// would wake the process once per row. Main thread only.
class RowTimeTexts final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(RowTimeTexts)

public:
    explicit RowTimeTexts(const Clock &clock, const QLocale &locale = QLocale(), QObject *parent = nullptr);
    ~RowTimeTexts() override;

    // The time since createdAt in its largest whole unit, short style
    // ("5 min. ago").
    QString ageText(const QDateTime &createdAt) const;
    // The time left until expiresAt in its two largest units ("4 min, 12
    // sec"); past the moment it counts the time since.
    QString countdownText(const QDateTime &expiresAt) const;

    // Ticks while running, and once at the start.
    void setRunning(bool running);

signals:
    void ticked();

private:
    struct Formatters;
    const Formatters &formatters() const;

    const Clock &m_clock;
    QLocale m_locale;
    mutable std::unique_ptr<Formatters> m_formatters;
    QTimer m_tick;
};
