#include "base/Clock.h"
#include "support/FakeClock.h"
#include "support/FakeSnippetCounters.h"
#include "tools/IcuRegex.h"
#include "tools/PastePreparation.h"
#include "tools/PromptDialog.h"
#include "tools/TemplateExpander.h"

#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString absent = u"<absent>"_s;

std::optional<QString> clipboardOf(const QString &text)
{
    return text == absent ? std::nullopt : std::optional(text);
}

// "a=1;b=2" as pairs, in order.
QList<std::pair<QString, QString>> pairsOf(const QString &text)
{
    QList<std::pair<QString, QString>> pairs;
    for (const QString &pair : text.split(u';', Qt::SkipEmptyParts))
        pairs.append({pair.section(u'=', 0, 0), pair.section(u'=', 1)});
    return pairs;
}

QMap<QString, qint64> countersOf(const QString &text)
{
    QMap<QString, qint64> counters;
    for (const auto &[name, value] : pairsOf(text))
        counters.insert(name, value.toLongLong());
    return counters;
}

// Tuesday 31 March 2026, 10:00 in Berlin, a minute later at every reading.
class TickingClock final : public Clock {
public:
    QDateTime now() const override
    {
        return QDateTime(QDate(2026, 3, 31), QTime(8, 0), Qt::UTC).addSecs(60 * m_readings++);
    }
    std::chrono::milliseconds elapsed() const override { return {}; }

private:
    mutable int m_readings = 0;
};

// The placeholder passes as the Parts write them: every match found first,
// then from the last to the first, each value put in place of the first
// occurrence of its text, searched from the beginning every time. A date's
// value is what the expander makes of its placeholder alone, the clock
// standing still.
class StepByStep {
public:
    StepByStep(TemplateExpander &alone, QMap<QString, qint64> counters)
        : counters(std::move(counters)), m_alone(alone)
    {
    }

    QString expanded(QString text)
    {
        const auto date = [this](const QStringList &captures) { return valueAlone(captures.first()); };
        text = pass(text, u"\\{\\{date([+-]\\d+)([dwmy])(?::([^}]+))?\\}\\}", date);
        text = pass(text, u"\\{\\{date:([^}]+)\\}\\}", date);
        text = pass(text, u"\\{\\{time:([^}]+)\\}\\}", date);
        text = pass(text, u"\\{\\{counter(?::([A-Za-z0-9_]+))?\\}\\}", [this](const QStringList &captures) {
            qint64 &value = counters[captures.value(1).isEmpty() ? u"default"_s : captures.value(1)];
            return QString::number(++value);
        });
        for (const QString &plain : {u"{{date}}"_s, u"{{time}}"_s, u"{{datetime}}"_s})
            text.replace(plain, valueAlone(plain));
        return text;
    }

    QMap<QString, qint64> counters;

private:
    QString valueAlone(const QString &placeholder)
    {
        return m_alone.expandTemplate(Snippet {.content = placeholder}, std::nullopt);
    }

    static QString pass(
        QString text, QStringView pattern, const std::function<QString(const QStringList &)> &value)
    {
        const QList<IcuRegex::Match> matches = IcuRegex(pattern).matches(text);
        for (auto match = matches.crbegin(); match != matches.crend(); ++match) {
            const qsizetype at = text.indexOf(match->captures.first());
            if (at >= 0)
                text.replace(at, match->captures.first().size(), value(match->captures));
        }
        return text;
    }

    TemplateExpander &m_alone;
};

// Texts made of pieces of placeholders, braces and date patterns.
QStringList shuffledTemplates(int count)
{
    const QStringList pieces {u"{{"_s, u"}}"_s, u"{"_s, u"}"_s, u"date"_s, u"time"_s, u"counter"_s, u":"_s,
        u"+"_s, u"-"_s, u"1"_s, u"12"_s, u"d"_s, u"m"_s, u"y"_s, u"x"_s, u"'te:'"_s, u"'{'"_s, u"yyyy"_s,
        u"a"_s, u" "_s, u"_b"_s, u"{{date:"_s, u"{{date:12x}}"_s, u"{{counter}}"_s, u"{{date+1d}}"_s};
    QRandomGenerator random(31);
    QStringList templates;
    for (int i = 0; i < count; ++i) {
        QString text;
        for (int piece = random.bounded(1, 30); piece > 0; --piece)
            text += pieces[random.bounded(pieces.size())];
        templates.append(text);
    }
    return templates;
}

} // namespace

class SnippetTemplatesTest final : public QObject {
    Q_OBJECT

private:
    FakeSnippetCounters m_counters;
    TickingClock m_clock;
    TemplateExpander m_expander {m_clock, m_counters, u"en_US"_s, u"Europe/Berlin"_s};

    QString expanded(const QString &content, const QString &clipboard = absent)
    {
        return m_expander.expandTemplate(Snippet {.content = content}, clipboardOf(clipboard));
    }

private slots:
    void init() { m_clock = TickingClock(); }

    void expansion_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("countersBefore");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("countersAfter");
        // The settings file is written once for all the counters.
        QTest::addColumn<int>("counterWrites");

        const QString verbatim
            = u"{{date:}} {{counter:}} {{date+1d:}} {{counter:my-count}} {{date+1D}} {{foo}}"_s;
        QTest::newRow("not placeholders") << verbatim << absent << u""_s << verbatim << u""_s << 0;
        QTest::newRow("one instant, one formatter for dates and times")
            << u"{{date}} {{time}} {{datetime}} {{time:yyyy}} {{date:EEEE HH:mm}}"_s << absent << u""_s
            << u"Mar 31, 2026 10:00\u202fAM 2026-03-31T08:00:00Z 2026 Tuesday 10:00"_s << u""_s << 0;
        QTest::newRow("calendar arithmetic")
            << u"{{date-1m:yyyy-MM-dd}} {{date-3d:yyyy-MM-dd HH:mm}}"_s << absent << u""_s
            << u"2026-02-28 2026-03-28 10:00"_s << u""_s << 0;
        QTest::newRow("bad and out-of-range amounts")
            << u"[{{date+12345678901234567890d}}{{date+١d}}] {{date+2000000000y:yyyy}} "
               "{{date-9223372036854775808w:yyyy}}"_s
            << absent << u""_s << u"[] 2026 2026"_s << u""_s << 0;
        QTest::newRow("shared counter, last first")
            << u"{{counter}} {{counter:default}}"_s << absent << u""_s << u"2 1"_s << u"default=2"_s << 1;
        QTest::newRow("counters in reading order")
            << u"{{counter}} {{counter}} {{counter:b_2}}"_s << absent << u"default=4"_s << u"5 6 1"_s
            << u"b_2=1;default=6"_s << 1;
        const QString largest = u"9223372036854775807"_s;
        QTest::newRow("counter at the largest value") << u"{{counter}}"_s << absent << u"default="_s + largest
                                                      << largest << u"default="_s + largest << 1;
        QTest::newRow("no clipboard")
            << u"{{clipboard}}"_s << absent << u""_s << u"{{clipboard}}"_s << u""_s << 0;
        QTest::newRow("empty clipboard") << u"[{{clipboard}}]"_s << u""_s << u""_s << u"[]"_s << u""_s << 0;
        const QString placeholders = u"{{date}} {{uuid}} {{counter}} {{date:yyyy}}"_s;
        QTest::newRow("clipboard as it is")
            << u"{{clipboard}}"_s << placeholders << u""_s << placeholders << u""_s << 0;
    }

    void expansion()
    {
        QFETCH(QString, content);
        QFETCH(QString, clipboard);
        QFETCH(QString, countersBefore);
        QFETCH(QString, expected);
        QFETCH(QString, countersAfter);
        m_counters.values = countersOf(countersBefore);
        m_counters.writes = 0;
        QCOMPARE(expanded(content, clipboard), expected);
        QCOMPARE(m_counters.values, countersOf(countersAfter));
        QTEST(m_counters.writes, "counterWrites");
    }

    // Filling each placeholder's value into its own place, in one pass,
    // gives what replacing the first occurrence after every value gave,
    // counters included; also where values and braces around them form a
    // placeholder's text anew, or one placeholder ends in another's text.
    void onePassGivesTheStepByStepResult_data()
    {
        QTest::addColumn<QStringList>("templates");
        QTest::newRow("equal placeholders") << QStringList {
            u"{{counter}} {{date+1d}} {{counter}} {{counter:a}} {{date+1d}} {{counter}} {{counter:default}}"_s};
        QTest::newRow("many") << QStringList {u"{{date+1d}}{{counter}} "_s.repeated(500)};
        QTest::newRow("JSON") << QStringList {u"{\"n\": {{counter}}, \"on\": \"{{date:yyyy}}\"}}}"_s};
        QTest::newRow("one placeholder ends in another")
            << QStringList {u"{{date:{{date:yyyy}} {{date:yyyy}}"_s};
        // The middle value, "te:12", makes the first one's text again before
        // the last; the next search finds that.
        QTest::newRow("made again by a value")
            << QStringList {u"{{date:12x}}{{da{{date:'te:12'}}x}}{{date:12x}}"_s};
        QTest::newRow("joined by an empty value")
            << QStringList {u"{{counter}{{date+99999999999999999999d}}}{{counter}}"_s};
        QTest::newRow("shuffled") << shuffledTemplates(3000);
    }

    void onePassGivesTheStepByStepResult()
    {
        QFETCH(QStringList, templates);
        const FakeClock still;
        FakeSnippetCounters counters;
        TemplateExpander expander(still, counters, u"en_US"_s, u"Europe/Berlin"_s);
        FakeSnippetCounters unused;
        TemplateExpander alone(still, unused, u"en_US"_s, u"Europe/Berlin"_s);
        for (const QString &content : templates) {
            counters.values = {{u"default"_s, 4}};
            StepByStep stepByStep(alone, counters.values);
            QCOMPARE(expander.expandTemplate(Snippet {.content = content}, std::nullopt),
                stepByStep.expanded(content));
            QCOMPARE(counters.values, stepByStep.counters);
        }
    }

    void oneUuidPerExpansion()
    {
        const QStringList first = expanded(u"{{uuid}} {{uuid}}"_s).split(u' ');
        QCOMPARE(first[1], first[0]);
        QVERIFY(expanded(u"{{uuid}}"_s) != first[0]);
    }

    void preparation_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("steps");

        QTest::newRow("one label for both places")
            << u"Hi {{prompt:Name}},{{prompt:\tName\u00a0}}!"_s << QStringList {u"Name"_s} << absent
            << u"Name=Jo"_s << u"Hi Jo,Jo!"_s << 0;
        QTest::newRow("prompts without a value")
            << u"[{{prompt:   }}][{{prompt:}}][{{prompt:Other}}]"_s << QStringList {u"Other"_s} << absent
            << u""_s << u"[][{{prompt:}}][]"_s << 0;
        QTest::newRow("line break kept") << u"{{prompt:\nName }}"_s << QStringList {u"\nName"_s} << absent
                                         << u"\nName=Jo"_s << u"Jo"_s << 0;
        QTest::newRow("values as typed") << u"{{prompt:A}}|{{prompt:B}}"_s << QStringList {u"A"_s, u"B"_s}
                                         << absent << u"A={{date}};B="_s << u"{{date}}|"_s << 0;
        QTest::newRow("typed cursor first") << u"{{prompt:N}}AB{{cursor}}C"_s << QStringList {u"N"_s}
                                            << absent << u"N={{cursor}}"_s << u"ABC"_s << 3;
        QTest::newRow("prompt in the clipboard")
            << u"{{clipboard}}"_s << QStringList() << u"x {{prompt:Name}}{{prompt:Other}}"_s << u"Name=Jo"_s
            << u"x Jo"_s << 0;
        QTest::newRow("no clipboard")
            << u"a{{clipboard}}b"_s << QStringList() << absent << u""_s << u"ab"_s << 0;
        QTest::newRow("later markers dropped, steps in characters")
            << u"X{{cursor}}e\u0301{{cursor}}\U0001F469\u200D\U0001F4BB"_s << QStringList() << absent << u""_s
            << u"Xe\u0301\U0001F469\u200D\U0001F4BB"_s << 2;
    }

    void preparation()
    {
        QFETCH(QString, content);
        QFETCH(QStringList, labels);
        QFETCH(QString, clipboard);
        QFETCH(QString, values);
        QFETCH(QString, text);
        QFETCH(int, steps);
        QCOMPARE(promptLabels(content), labels);
        const PastePreparation prepared = expandPastePlaceholders(
            m_expander, Snippet {.content = content}, clipboardOf(clipboard), pairsOf(values));
        QCOMPARE(prepared, (PastePreparation {text, steps}));
    }

    void dialogValuesInLabelOrder()
    {
        PromptDialog dialog({u"Name"_s, u"City"_s});
        dialog.findChildren<QLineEdit *>().value(1)->setText(u"Oslo"_s);
        QVERIFY(dialog.values() == pairsOf(u"Name=;City=Oslo"_s));
    }
};

QTEST_MAIN(SnippetTemplatesTest)
#include "tst_snippet_templates.moc"
