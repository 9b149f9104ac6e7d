#include "tools/TemplateExpander.h"

#include "base/Clock.h"
#include "records/UuidText.h"
#include "tools/IcuRegex.h"
#include "tools/SnippetCounters.h"

#include <QUuid>

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/smpdtfmt.h>

#include <pwd.h>
#include <unistd.h>

#include <limits>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// Beyond about ±5.8 million years the calendar wraps around without an
// error; shifts are kept well inside that.
constexpr qint64 maxShiftYears = 5'000'000;

const IcuRegex &shiftedDatePattern()
{
    static const IcuRegex pattern(u"\\{\\{date([+-]\\d+)([dwmy])(?::([^}]+))?\\}\\}");
    return pattern;
}

const IcuRegex &formattedDatePattern()
{
    static const IcuRegex pattern(u"\\{\\{date:([^}]+)\\}\\}");
    return pattern;
}

const IcuRegex &formattedTimePattern()
{
    static const IcuRegex pattern(u"\\{\\{time:([^}]+)\\}\\}");
    return pattern;
}

const IcuRegex &counterPattern()
{
    static const IcuRegex pattern(u"\\{\\{counter(?::([A-Za-z0-9_]+))?\\}\\}");
    return pattern;
}

QString toQString(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

icu::UnicodeString toIcu(QStringView text)
{
    return icu::UnicodeString(text.utf16(), int32_t(text.size()));
}

QString formatted(const icu::DateFormat *formatter, UDate date)
{
    if (!formatter)
        return {};
    icu::UnicodeString text;
    UErrorCode status = U_ZERO_ERROR;
    formatter->format(date, text, nullptr, status);
    return toQString(text);
}

// The calendar field and amount of a shift, or none when it would leave the
// range the calendar handles.
std::optional<std::pair<UCalendarDateFields, int32_t>> calendarShift(qint64 amount, QStringView unit)
{
    qint64 limit = maxShiftYears;
    UCalendarDateFields field = UCAL_YEAR;
    if (unit == u"d" || unit == u"w") {
        limit = maxShiftYears * 365;
        field = UCAL_DATE;
        if (unit == u"w") {
            if (amount > limit / 7 || amount < -limit / 7)
                return std::nullopt;
            amount *= 7;
        }
    } else if (unit == u"m") {
        limit = maxShiftYears * 12;
        field = UCAL_MONTH;
    }
    if (amount > limit || amount < -limit)
        return std::nullopt;
    return std::pair(field, int32_t(amount));
}

} // namespace

TemplateExpander::TemplateExpander(
    const Clock &clock, SnippetCounters &counters, const QString &localeId, const QString &timeZoneId)
    : m_clock(clock), m_counters(counters),
      m_locale((localeId.isEmpty() ? userLocaleId() : localeId).toLatin1().constData()),
      m_zone(timeZoneId.isEmpty() ? icu::TimeZone::createDefault()
                                  : icu::TimeZone::createTimeZone(toIcu(timeZoneId)))
{
}

QString TemplateExpander::expandTemplate(
    const Snippet &snippet, const std::optional<QString> &clipboard, const Variables &variables)
{
    const QDateTime nowTime = m_clock.now();
    const UDate now = UDate(nowTime.toMSecsSinceEpoch());
    QString text = snippet.content;
    text = replaceRegexMatches(std::move(text), shiftedDatePattern(),
        [&](const QStringList &captures) { return applyDateOffset(captures, now); });
    const ValueFunction formatNow
        = [&](const QStringList &captures) { return formatDatePlaceholder(captures, now); };
    text = replaceRegexMatches(std::move(text), formattedDatePattern(), formatNow);
    text = replaceRegexMatches(std::move(text), formattedTimePattern(), formatNow);
    text = replaceCounterMatches(std::move(text));

    // Each value is made only when its placeholder is there.
    if (text.contains(u"{{date}}"))
        text.replace(u"{{date}}"_s, formatTemplateDate(now, {}));
    if (text.contains(u"{{time}}")) {
        const std::unique_ptr<icu::DateFormat> formatter(
            icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, m_locale));
        if (formatter)
            formatter->setTimeZone(*m_zone);
        text.replace(u"{{time}}"_s, formatted(formatter.get(), now));
    }
    if (text.contains(u"{{datetime}}"))
        text.replace(u"{{datetime}}"_s, nowTime.toUTC().toString(Qt::ISODate));
    if (text.contains(u"{{uuid}}"))
        text.replace(u"{{uuid}}"_s, UuidText::toText(QUuid::createUuid()));
    if (text.contains(u"{{name}}"))
        text.replace(u"{{name}}"_s, userFullName());
    if (clipboard)
        text.replace(u"{{clipboard}}"_s, *clipboard);
    for (const auto &[name, value] : variables)
        text.replace(u"{{"_s + name + u"}}"_s, value);
    return text;
}

QString TemplateExpander::replaceRegexMatches(
    QString text, const IcuRegex &pattern, const ValueFunction &value)
{
    const QList<IcuRegex::Match> matches = pattern.matches(text);
    for (auto match = matches.crbegin(); match != matches.crend(); ++match) {
        const QString &whole = match->captures.constFirst();
        const qsizetype at = text.indexOf(whole);
        if (at < 0)
            continue;
        text.replace(at, whole.size(), value(match->captures));
    }
    return text;
}

QString TemplateExpander::replaceCounterMatches(QString text)
{
    return replaceRegexMatches(std::move(text), counterPattern(),
        [this](const QStringList &captures) { return nextCounterValue(captures); });
}

QString TemplateExpander::applyDateOffset(const QStringList &captures, UDate now) const
{
    bool parsed = false;
    const qint64 amount = captures.value(1).toLongLong(&parsed, 10);
    if (!parsed)
        return {};
    UDate shifted = now;
    if (const auto shift = calendarShift(amount, captures.value(2))) {
        UErrorCode status = U_ZERO_ERROR;
        const std::unique_ptr<icu::Calendar> calendar(
            icu::Calendar::createInstance(*m_zone, m_locale, status));
        if (U_SUCCESS(status)) {
            calendar->setTime(now, status);
            calendar->add(shift->first, shift->second, status);
            const UDate result = calendar->getTime(status);
            if (U_SUCCESS(status))
                shifted = result;
        }
    }
    return formatTemplateDate(shifted, captures.value(3));
}

QString TemplateExpander::formatDatePlaceholder(const QStringList &captures, UDate now) const
{
    return formatTemplateDate(now, captures.value(1));
}

QString TemplateExpander::formatTemplateDate(UDate date, const QString &pattern) const
{
    std::unique_ptr<icu::DateFormat> formatter;
    if (pattern.isEmpty()) {
        formatter.reset(icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, m_locale));
    } else {
        UErrorCode status = U_ZERO_ERROR;
        formatter = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), m_locale, status);
        if (U_FAILURE(status))
            return {};
    }
    if (formatter)
        formatter->setTimeZone(*m_zone);
    return formatted(formatter.get(), date);
}

QString TemplateExpander::nextCounterValue(const QStringList &captures)
{
    const QString name = captures.value(1).isEmpty() ? u"default"_s : captures.value(1);
    const qint64 current = m_counters.value(name);
    // The largest value is handed out again rather than wrapping around.
    const qint64 next = current == std::numeric_limits<qint64>::max() ? current : current + 1;
    m_counters.setValue(name, next);
    return QString::number(next);
}

QString TemplateExpander::userLocaleId()
{
    // The variables that choose how dates are written, by precedence.
    for (const char *variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        QString value = qEnvironmentVariable(variable);
        if (value.isEmpty())
            continue;
        value = value.section(u'.', 0, 0).section(u'@', 0, 0);
        if (value == u"C" || value == u"POSIX")
            break;
        return value;
    }
    return u"en_US_POSIX"_s;
}

QString TemplateExpander::userFullName()
{
    const long bufferSize = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(bufferSize > 0 ? bufferSize : 16384));
    passwd entry {};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    // The first field of the comment is the full name; the rest are rooms
    // and telephone numbers.
    const QString fullName
        = QString::fromLocal8Bit(found->pw_gecos ? found->pw_gecos : "").section(u',', 0, 0);
    return fullName.isEmpty() ? QString::fromLocal8Bit(found->pw_name) : fullName;
}
