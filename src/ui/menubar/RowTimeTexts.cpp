#include "ui/menubar/RowTimeTexts.h"

#include "base/Clock.h"

#include <unicode/measfmt.h>
#include <unicode/measunit.h>
#include <unicode/measure.h>
#include <unicode/reldatefmt.h>

#include <array>
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

struct RowTimeTexts::Formatters {
    explicit Formatters(const QLocale &locale);

    // Null where ICU has no data for the locale: the texts are then empty.
    std::unique_ptr<icu::RelativeDateTimeFormatter> age;
    std::unique_ptr<icu::MeasureFormat> duration;
};

namespace {

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

// The largest calendar unit in which from lies a whole number of units
// before to (from <= to), in local time; seconds when less than a minute.
std::pair<int, URelativeDateTimeUnit> largestUnit(const QDateTime &from, const QDateTime &to)
{
    const QDate start = from.date();
    const QDate end = to.date();
    int years = end.year() - start.year();
    if (from.addYears(years) > to)
        --years;
    if (years > 0)
        return {years, UDAT_REL_UNIT_YEAR};
    int months = (end.year() - start.year()) * 12 + end.month() - start.month();
    if (from.addMonths(months) > to)
        --months;
    if (months > 0)
        return {months, UDAT_REL_UNIT_MONTH};
    auto days = int(start.daysTo(end));
    if (from.addDays(days) > to)
        --days;
    if (days >= 7)
        return {days / 7, UDAT_REL_UNIT_WEEK};
    if (days > 0)
        return {days, UDAT_REL_UNIT_DAY};
    const qint64 seconds = from.secsTo(to);
    if (seconds >= 3600)
        return {int(seconds / 3600), UDAT_REL_UNIT_HOUR};
    if (seconds >= 60)
        return {int(seconds / 60), UDAT_REL_UNIT_MINUTE};
    return {int(seconds), UDAT_REL_UNIT_SECOND};
}

} // namespace

RowTimeTexts::Formatters::Formatters(const QLocale &locale)
{
    // The C locale as POSIX English, with its plurals ("1 day", not "1 days").
    const QByteArray name = locale.language() == QLocale::C ? "en_US_POSIX" : locale.name().toLatin1();
    const icu::Locale icuLocale(name.constData());
    UErrorCode status = U_ZERO_ERROR;
    auto made = std::make_unique<icu::RelativeDateTimeFormatter>(
        icuLocale, nullptr, UDAT_STYLE_SHORT, UDISPCTX_CAPITALIZATION_NONE, status);
    if (U_SUCCESS(status))
        age = std::move(made);
    status = U_ZERO_ERROR;
    auto measures = std::make_unique<icu::MeasureFormat>(icuLocale, UMEASFMT_WIDTH_SHORT, status);
    if (U_SUCCESS(status))
        duration = std::move(measures);
}

RowTimeTexts::RowTimeTexts(const Clock &clock, const QLocale &locale, QObject *parent)
    : QObject(parent), m_clock(clock), m_locale(locale)
{
    m_tick.setInterval(1s);
    connect(&m_tick, &QTimer::timeout, this, &RowTimeTexts::ticked);
}

RowTimeTexts::~RowTimeTexts() = default;

const RowTimeTexts::Formatters &RowTimeTexts::formatters() const
{
    // ICU's locale tables are read when the first row shows, not at start.
    if (!m_formatters)
        m_formatters = std::make_unique<Formatters>(m_locale);
    return *m_formatters;
}

QString RowTimeTexts::ageText(const QDateTime &createdAt) const
{
    const Formatters &formatters = this->formatters();
    if (!formatters.age || !createdAt.isValid())
        return {};
    const QDateTime now = m_clock.now().toLocalTime();
    const QDateTime created = createdAt.toLocalTime();
    const bool past = created <= now;
    const auto [count, unit] = past ? largestUnit(created, now) : largestUnit(now, created);
    // A negative zero reads as "0 sec. ago" rather than "in 0 sec.".
    const double offset = past ? -double(count) : double(count);
    icu::UnicodeString text;
    UErrorCode status = U_ZERO_ERROR;
    formatters.age->formatNumeric(offset == 0 && past ? -0.0 : offset, unit, text, status);
    return U_SUCCESS(status) ? fromIcu(text) : QString();
}

QString RowTimeTexts::countdownText(const QDateTime &expiresAt) const
{
    const Formatters &formatters = this->formatters();
    if (!formatters.duration || !expiresAt.isValid())
        return {};
    const qint64 left = std::abs(m_clock.now().secsTo(expiresAt));
    const std::array<std::pair<qint64, icu::MeasureUnit *(*)(UErrorCode &)>, 4> units {{
        {86'400, &icu::MeasureUnit::createDay},
        {3600, &icu::MeasureUnit::createHour},
        {60, &icu::MeasureUnit::createMinute},
        {1, &icu::MeasureUnit::createSecond},
    }};
    // The largest unit that is not zero (seconds when all are), then the next
    // one unless it is zero.
    std::size_t largest = 0;
    while (largest + 1 < units.size() && left < units[largest].first)
        ++largest;
    UErrorCode status = U_ZERO_ERROR;
    std::vector<icu::Measure> measures;
    measures.emplace_back(
        icu::Formattable(int32_t(left / units[largest].first)), units[largest].second(status), status);
    if (largest + 1 < units.size()) {
        const qint64 next = left % units[largest].first / units[largest + 1].first;
        if (next > 0)
            measures.emplace_back(icu::Formattable(int32_t(next)), units[largest + 1].second(status), status);
    }
    icu::UnicodeString text;
    icu::FieldPosition position;
    formatters.duration->formatMeasures(measures.data(), int32_t(measures.size()), text, position, status);
    return U_SUCCESS(status) ? fromIcu(text) : QString();
}

void RowTimeTexts::setRunning(bool running)
{
    if (running == m_tick.isActive())
        return;
    if (!running) {
        m_tick.stop();
        return;
    }
    m_tick.start();
    emit ticked();
}
