#include "tools/TemplateExpander.h"

#include "base/Clock.h"
#include "records/UuidText.h"
#include "tools/FirstOccurrenceFill.h"
#include "tools/PlaceholderScan.h"
#include "tools/SnippetCounters.h"

#include <QHash>
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

// Whether filling each placeholder's value into its own place (equal
// placeholders in reading order) gives exactly what searching for the first
// occurrence after every replacement gives. It does unless a search can
// find text other than a placeholder: a placeholder holding "{{" beyond its
// start (a later one's text may be its tail), or a "}" of the text's own
// that values could join to "}}" (values hold no "}").
bool fillsCanonically(QStringView text, const QList<IcuRegex::Spans> &matches)
{
    qsizetype next = 0;
    for (qsizetype i = 0; i <= matches.size(); ++i) {
        const qsizetype start = i < matches.size() ? matches[i].front().start : text.size();
        for (qsizetype at = next; at < start; ++at) {
            if (text[at] == u'}' && at + 1 < text.size() && (text[at + 1] == u'}' || at + 1 == start))
                return false;
        }
        if (i == matches.size())
            break;
        if (matches[i].front().in(text).indexOf(u"{{", 1) >= 0)
            return false;
        next = matches[i].front().end;
    }
    return true;
}

} // namespace

struct TemplateExpander::Expansion {
    QDateTime nowTime;
    UDate now = 0;
    std::unique_ptr<icu::Calendar> calendar;
    std::unique_ptr<icu::DateFormat> mediumDate;
    // One formatter takes each pattern in turn: one made for each pattern
    // costs some 50 KB and 50 us, and a snippet can hold thousands.
    std::unique_ptr<icu::SimpleDateFormat> patterned;
    QString appliedPattern;
    // Advanced and not stored yet, in the order first advanced.
    QList<std::pair<QString, qint64>> counters;
    QHash<QString, qsizetype> counterIndex;
};

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
    Expansion expansion;
    expansion.nowTime = m_clock.now();
    expansion.now = UDate(expansion.nowTime.toMSecsSinceEpoch());
    QString text = snippet.content;
    if (!text.contains(u"{{"))
        return text;
    text = replaceRegexMatches(
        std::move(text), Placeholder::shiftedDate,
        [&](const QStringList &captures) { return applyDateOffset(expansion, captures); }, true);
    const ValueFunction formatNow = [&](const QStringList &captures) {
        return formatTemplateDate(expansion, expansion.now, captures.value(1));
    };
    text = replaceRegexMatches(std::move(text), Placeholder::formattedDate, formatNow, true);
    text = replaceRegexMatches(std::move(text), Placeholder::formattedTime, formatNow, true);
    text = replaceRegexMatches(
        std::move(text), Placeholder::counter,
        [&](const QStringList &captures) { return nextCounterValue(expansion, captures); }, false);
    // One write for every counter of the expansion.
    if (!expansion.counters.isEmpty())
        m_counters.setValues(expansion.counters);

    // Each value is made only when its placeholder is there.
    if (text.contains(u"{{date}}"))
        text.replace(u"{{date}}"_s, formatTemplateDate(expansion, expansion.now, {}));
    if (text.contains(u"{{time}}")) {
        const std::unique_ptr<icu::DateFormat> formatter(
            icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, m_locale));
        if (formatter)
            formatter->setTimeZone(*m_zone);
        text.replace(u"{{time}}"_s, formatted(formatter.get(), expansion.now));
    }
    if (text.contains(u"{{datetime}}"))
        text.replace(u"{{datetime}}"_s, expansion.nowTime.toUTC().toString(Qt::ISODate));
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
    QString text, Placeholder placeholder, const ValueFunction &value, bool pure)
{
    const QList<IcuRegex::Spans> matches = placeholderSpans(text, placeholder);
    if (matches.isEmpty())
        return text;
    if (fillsCanonically(text, matches)) {
        QList<QString> values(matches.size());
        bool braceInValue = false;
        if (pure) {
            QHash<QStringView, QString> made;
            for (qsizetype i = 0; i < matches.size() && !braceInValue; ++i) {
                const QStringView whole = matches[i].front().in(text);
                auto known = made.constFind(whole);
                if (known == made.cend()) {
                    known = made.insert(whole, value(IcuRegex::captures(text, matches[i])));
                    braceInValue = known->contains(u'}');
                }
                values[i] = *known;
            }
        } else {
            // Made from the last placeholder to the first; equal ones get
            // theirs in reading order.
            QHash<QStringView, QList<qsizetype>> equal;
            for (qsizetype i = 0; i < matches.size(); ++i)
                equal[matches[i].front().in(text)].append(i);
            QHash<QStringView, qsizetype> filled;
            for (qsizetype i = matches.size() - 1; i >= 0; --i) {
                const QStringView whole = matches[i].front().in(text);
                values[equal[whole].at(filled[whole]++)] = value(IcuRegex::captures(text, matches[i]));
            }
        }
        // Only a date's value could hold "}", and making it again changes
        // nothing; counters give digits.
        if (!braceInValue) {
            qsizetype size = text.size();
            for (qsizetype i = 0; i < matches.size(); ++i)
                size += values[i].size() - matches[i].front().in(text).size();
            QString result;
            result.reserve(size);
            qsizetype copied = 0;
            for (qsizetype i = 0; i < matches.size(); ++i) {
                result += QStringView(text).sliced(copied, matches[i].front().start - copied);
                result += values[i];
                copied = matches[i].front().end;
            }
            result += QStringView(text).sliced(copied);
            return result;
        }
    }
    return fillFirstOccurrences(text, placeholder, matches, pure,
        [&](qsizetype match) { return value(IcuRegex::captures(text, matches[match])); });
}

QString TemplateExpander::applyDateOffset(Expansion &expansion, const QStringList &captures) const
{
    bool parsed = false;
    const qint64 amount = captures.value(1).toLongLong(&parsed, 10);
    if (!parsed)
        return {};
    UDate shifted = expansion.now;
    if (const auto shift = calendarShift(amount, captures.value(2))) {
        UErrorCode status = U_ZERO_ERROR;
        if (!expansion.calendar)
            expansion.calendar.reset(icu::Calendar::createInstance(*m_zone, m_locale, status));
        if (U_SUCCESS(status) && expansion.calendar) {
            expansion.calendar->setTime(expansion.now, status);
            expansion.calendar->add(shift->first, shift->second, status);
            const UDate result = expansion.calendar->getTime(status);
            if (U_SUCCESS(status))
                shifted = result;
        }
    }
    return formatTemplateDate(expansion, shifted, captures.value(3));
}

QString TemplateExpander::formatTemplateDate(Expansion &expansion, UDate date, const QString &pattern) const
{
    if (pattern.isEmpty()) {
        if (!expansion.mediumDate) {
            expansion.mediumDate.reset(
                icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, m_locale));
            if (!expansion.mediumDate)
                return {};
            expansion.mediumDate->setTimeZone(*m_zone);
        }
        return formatted(expansion.mediumDate.get(), date);
    }
    if (!expansion.patterned) {
        UErrorCode status = U_ZERO_ERROR;
        expansion.patterned = std::make_unique<icu::SimpleDateFormat>(toIcu(pattern), m_locale, status);
        if (U_FAILURE(status)) {
            expansion.patterned.reset();
            return {};
        }
        expansion.patterned->setTimeZone(*m_zone);
        expansion.appliedPattern = pattern;
    } else if (expansion.appliedPattern != pattern) {
        expansion.patterned->applyPattern(toIcu(pattern));
        expansion.appliedPattern = pattern;
    }
    return formatted(expansion.patterned.get(), date);
}

QString TemplateExpander::nextCounterValue(Expansion &expansion, const QStringList &captures)
{
    const QString name = captures.value(1).isEmpty() ? u"default"_s : captures.value(1);
    auto index = expansion.counterIndex.constFind(name);
    if (index == expansion.counterIndex.cend()) {
        index = expansion.counterIndex.insert(name, expansion.counters.size());
        expansion.counters.append({name, m_counters.value(name)});
    }
    qint64 &value = expansion.counters[*index].second;
    // The largest value is handed out again rather than wrapping around.
    if (value != std::numeric_limits<qint64>::max())
        ++value;
    return QString::number(value);
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
