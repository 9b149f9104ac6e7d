#pragma once

#include "records/Snippet.h"
#include "tools/PlaceholderScan.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class Clock;
class SnippetCounters;

// Fills in the placeholders of a snippet's content when it is pasted: dates
// and times (plain, formatted and shifted), named counters, a fresh UUID,
// the user's name, the clipboard text and the caller's variables. Runs on
// the main thread, the counters' only user; the counters an expansion
// advances are stored together, once it is done.
class TemplateExpander final {
    Q_DISABLE_COPY(TemplateExpander)

public:
    // Name and value; replaced in this order.
    using Variables = QList<std::pair<QString, QString>>;

    // localeId is an ICU locale id ("en_US") and timeZoneId an IANA zone id
    // ("Europe/Berlin"); empty ones take the user's.
    TemplateExpander(const Clock &clock, SnippetCounters &counters, const QString &localeId = {},
        const QString &timeZoneId = {});

    // Every date and time in one expansion describes the same instant, and
    // every "{{uuid}}" gets the same UUID. Text put in by one step is not
    // looked at by the steps before it: a clipboard text is inserted as it is.
    // "{{clipboard}}" stays when there is no clipboard text.
    QString expandTemplate(
        const Snippet &snippet, const std::optional<QString> &clipboard, const Variables &variables = {});

private:
    using ValueFunction = std::function<QString(const QStringList &captures)>;
    // What one expansion reuses: its instant, its calendar, its formatters
    // and the counters it has advanced but not stored yet.
    struct Expansion;

    // Matches are found once, then filled in from the last to the first,
    // each into the first remaining occurrence of its text, so equal
    // placeholders get their values in reading order. pure says that equal
    // placeholders have equal values.
    static QString replaceRegexMatches(
        QString text, Placeholder placeholder, const ValueFunction &value, bool pure);
    QString applyDateOffset(Expansion &expansion, const QStringList &captures) const;
    // The medium date style without a pattern.
    QString formatTemplateDate(Expansion &expansion, UDate date, const QString &pattern) const;
    QString nextCounterValue(Expansion &expansion, const QStringList &captures);

    static QString userLocaleId();
    static QString userFullName();

    const Clock &m_clock;
    SnippetCounters &m_counters;
    icu::Locale m_locale;
    std::unique_ptr<icu::TimeZone> m_zone;
};
