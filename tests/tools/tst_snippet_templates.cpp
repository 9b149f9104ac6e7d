#include "base/Clock.h"
#include "support/FakeSnippetCounters.h"
#include "tools/PastePreparation.h"
#include "tools/PromptDialog.h"
#include "tools/TemplateExpander.h"

#include <QLineEdit>
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

        const QString verbatim
            = u"{{date:}} {{counter:}} {{date+1d:}} {{counter:my-count}} {{date+1D}} {{foo}}"_s;
        QTest::newRow("not placeholders") << verbatim << absent << u""_s << verbatim << u""_s;
        QTest::newRow("one instant, one formatter for dates and times")
            << u"{{date}} {{time}} {{datetime}} {{time:yyyy}} {{date:EEEE HH:mm}}"_s << absent << u""_s
            << u"Mar 31, 2026 10:00\u202fAM 2026-03-31T08:00:00Z 2026 Tuesday 10:00"_s << u""_s;
        QTest::newRow("calendar arithmetic") << u"{{date-1m:yyyy-MM-dd}} {{date-3d:yyyy-MM-dd HH:mm}}"_s
                                             << absent << u""_s << u"2026-02-28 2026-03-28 10:00"_s << u""_s;
        QTest::newRow("bad and out-of-range amounts")
            << u"[{{date+12345678901234567890d}}{{date+١d}}] {{date+2000000000y:yyyy}} "
               "{{date-9223372036854775808w:yyyy}}"_s
            << absent << u""_s << u"[] 2026 2026"_s << u""_s;
        QTest::newRow("shared counter, last first")
            << u"{{counter}} {{counter:default}}"_s << absent << u""_s << u"2 1"_s << u"default=2"_s;
        QTest::newRow("counters in reading order") << u"{{counter}} {{counter}} {{counter:b_2}}"_s << absent
                                                   << u"default=4"_s << u"5 6 1"_s << u"b_2=1;default=6"_s;
        const QString largest = u"9223372036854775807"_s;
        QTest::newRow("counter at the largest value")
            << u"{{counter}}"_s << absent << u"default="_s + largest << largest << u"default="_s + largest;
        QTest::newRow("no clipboard") << u"{{clipboard}}"_s << absent << u""_s << u"{{clipboard}}"_s << u""_s;
        QTest::newRow("empty clipboard") << u"[{{clipboard}}]"_s << u""_s << u""_s << u"[]"_s << u""_s;
        const QString placeholders = u"{{date}} {{uuid}} {{counter}} {{date:yyyy}}"_s;
        QTest::newRow("clipboard as it is")
            << u"{{clipboard}}"_s << placeholders << u""_s << placeholders << u""_s;
    }

    void expansion()
    {
        QFETCH(QString, content);
        QFETCH(QString, clipboard);
        QFETCH(QString, countersBefore);
        QFETCH(QString, expected);
        QFETCH(QString, countersAfter);
        m_counters.values = countersOf(countersBefore);
        QCOMPARE(expanded(content, clipboard), expected);
        QCOMPARE(m_counters.values, countersOf(countersAfter));
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
