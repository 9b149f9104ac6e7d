#include "base/Clock.h"
#include "support/FakeClock.h"
#include "support/FakeSnippetCounters.h"
#include "text/Blanks.h"
#include "tools/FirstOccurrenceFill.h"
#include "tools/IcuRegex.h"
#include "tools/PastePreparation.h"
#include "tools/PlaceholderScan.h"
#include "tools/PromptDialog.h"
#include "tools/TemplateExpander.h"

#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>

#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

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
// occurrence of its text, searched from the beginning every time. A shifted
// or plain date's value is what the expander makes of its placeholder alone,
// the clock standing still; a formatted one's, what a formatter made for its
// pattern alone makes (expanded alone, a pattern holding a placeholder would
// be filled first).
class StepByStep {
public:
    StepByStep(TemplateExpander &alone, const Clock &clock, QMap<QString, qint64> counters)
        : counters(std::move(counters)), m_alone(alone), m_now(UDate(clock.now().toMSecsSinceEpoch()))
    {
    }

    QString expanded(QString text)
    {
        const auto shifted = [this](const QStringList &captures) { return valueAlone(captures.first()); };
        const auto formatted
            = [this](const QStringList &captures) { return formattedAlone(captures.value(1)); };
        text = pass(text, u"\\{\\{date([+-]\\d+)([dwmy])(?::([^}]+))?\\}\\}", shifted);
        text = pass(text, u"\\{\\{date:([^}]+)\\}\\}", formatted);
        text = pass(text, u"\\{\\{time:([^}]+)\\}\\}", formatted);
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

    QString formattedAlone(const QString &pattern) const
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::SimpleDateFormat formatter(
            icu::UnicodeString(pattern.utf16(), int32_t(pattern.size())), icu::Locale("en_US"), status);
        if (U_FAILURE(status))
            return {};
        formatter.adoptTimeZone(icu::TimeZone::createTimeZone("Europe/Berlin"));
        icu::UnicodeString text;
        formatter.format(m_now, text, nullptr, status);
        return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
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
    UDate m_now;
};

// The prompts as the Parts write them: for each label, every prompt of the
// text as it stands, found anew, whose label without blanks is that label.
QString promptsOneLabelAfterAnother(QString text, const PromptValues &values)
{
    const IcuRegex pattern(u"\\{\\{prompt:([^}]+)\\}\\}");
    for (const auto &[label, value] : values) {
        const QList<IcuRegex::Match> matches = pattern.matches(text);
        for (auto match = matches.crbegin(); match != matches.crend(); ++match) {
            if (Blanks::trimmed(match->captures.value(1)) == label)
                text.replace(match->start, match->end - match->start, value);
        }
    }
    return text;
}

QString joined(QRandomGenerator &random, const QStringList &pieces, int most)
{
    QString text;
    for (int piece = random.bounded(1, most); piece > 0; --piece)
        text += pieces[random.bounded(pieces.size())];
    return text;
}

// Texts made of pieces of placeholders, braces and date patterns; quoted
// ones make values that hold braces and the starts of placeholders, "'"
// alone an empty one.
QStringList shuffledTemplates(int count, int most = 30)
{
    const QStringList pieces {u"{{"_s, u"}}"_s, u"{"_s, u"}"_s, u"date"_s, u"time"_s, u"counter"_s, u":"_s,
        u"+"_s, u"-"_s, u"1"_s, u"12"_s, u"d"_s, u"m"_s, u"y"_s, u"x"_s, u"'te:'"_s, u"'{'"_s, u"yyyy"_s,
        u"a"_s, u" "_s, u"_b"_s, u"{{date:"_s, u"{{date:12x}}"_s, u"{{counter}}"_s, u"{{date+1d}}"_s, u"'"_s,
        u"'{{date:'"_s, u"'{{da'"_s, u"{{date:'}}"_s, u"\u0661"_s};
    QRandomGenerator random(31);
    QStringList templates;
    for (int i = 0; i < count; ++i)
        templates.append(joined(random, pieces, most));
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
            << QStringList {u"{{counter}{{date+99999999999999999999d}}}{{counter}}"_s,
                   u"{{date:a}{{date:'}}}{{date:a}}"_s, u"{{date:'}{{date:'}}}1{{date:'}}"_s};
        QTest::newRow("placeholders holding \"{{\"")
            << QStringList {u"{{date:{{x}} {{date:{{x}} {{date:{{x}}"_s,
                   u"{{date:{{date:{{date:'}}{{date:'}}{{date:'}}{{date:{{date:'}}"_s};
        QTest::newRow("a \"}\" of the text's own") << QStringList {
            u"x}}{{date+1d}} {{date+1d}} {{counter}} {{counter}}"_s, u"}{{date:yyyy}} }{{date:yyyy}}}"_s};
        QTest::newRow("each the tail of another") << QStringList {
            u"{{date:a{{date:1}} {{date:a{{date:2}} {{date:1}} {{date:2}} {{date:a{{date:1}}"_s};
        QTest::newRow("a value that starts a placeholder")
            << QStringList {u"{{date:'{{date:'}}yyyy}} {{date:yyyy}}"_s, u"{{date:'{{da'}}te:yyyy}}"_s};
        QTest::newRow("digits beyond ASCII") << QStringList {u"{{date+\u0661d}} {{date+\U0001D7CFd:yyyy}}"_s};
        QTest::newRow("shuffled") << shuffledTemplates(3000);
        QTest::newRow("shuffled, longer") << shuffledTemplates(100, 400);
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
            StepByStep stepByStep(alone, still, counters.values);
            QCOMPARE(expander.expandTemplate(Snippet {.content = content}, std::nullopt),
                stepByStep.expanded(content));
            QCOMPARE(counters.values, stepByStep.counters);
        }
    }

    // The placeholders are found as their patterns find them, Unicode digits
    // and lone surrogates included, without a regular expression's time.
    void placeholdersFoundAsThePatternsFindThem()
    {
        const QStringList pieces {u"{{"_s, u"}}"_s, u"{"_s, u"}"_s, u"date"_s, u"time"_s, u"counter"_s,
            u"prompt"_s, u":"_s, u"+"_s, u"-"_s, u"1"_s, u"\u0661"_s, u"\U0001D7CE"_s, QString(QChar(0xD835)),
            u"d"_s, u"w"_s, u"y"_s, u"D"_s, u"x"_s, u"_"_s, u" "_s, u"{{date+1d"_s, u"{{counter:"_s,
            u"{{prompt:"_s, u"{{time:"_s, u"{{date:"_s};
        const std::pair<Placeholder, QStringView> patterns[] {
            {Placeholder::shiftedDate, u"\\{\\{date([+-]\\d+)([dwmy])(?::([^}]+))?\\}\\}"},
            {Placeholder::formattedDate, u"\\{\\{date:([^}]+)\\}\\}"},
            {Placeholder::formattedTime, u"\\{\\{time:([^}]+)\\}\\}"},
            {Placeholder::counter, u"\\{\\{counter(?::([A-Za-z0-9_]+))?\\}\\}"},
            {Placeholder::prompt, u"\\{\\{prompt:([^}]+)\\}\\}"}};
        QRandomGenerator random(31);
        for (int text = 0; text < 3000; ++text) {
            const QString made = joined(random, pieces, 40);
            for (const auto &[placeholder, pattern] : patterns) {
                const QList<IcuRegex::Spans> found = placeholderSpans(made, placeholder);
                const QList<IcuRegex::Spans> expected = IcuRegex(pattern).spans(made);
                QCOMPARE(found.size(), expected.size());
                for (qsizetype match = 0; match < found.size(); ++match) {
                    QCOMPARE(found[match].size(), expected[match].size());
                    for (qsizetype group = 0; group < found[match].size(); ++group) {
                        QCOMPARE(found[match][group].start, expected[match][group].start);
                        QCOMPARE(found[match][group].end, expected[match][group].end);
                    }
                }
            }
        }
    }

    // Whatever the values (empty, holding braces, starting placeholders or
    // ending them; or holding "}", which the search from the beginning
    // takes over), each goes where searching from the beginning puts it, and
    // only the values of texts that are found are made, in the same order.
    void firstOccurrencesWhateverTheValues_data()
    {
        QTest::addColumn<QString>("closing");
        QTest::addColumn<int>("texts");
        QTest::addColumn<int>("pieces");
        QTest::newRow("values without \"}\"") << QString() << 3000 << 40;
        QTest::newRow("values without \"}\", longer texts") << QString() << 150 << 400;
        QTest::newRow("values with \"}\"") << u"}"_s << 500 << 40;
    }

    void firstOccurrencesWhateverTheValues()
    {
        QFETCH(QString, closing);
        QFETCH(int, texts);
        QFETCH(int, pieces);
        const QStringList textPieces {u"{{"_s, u"}}"_s, u"{"_s, u"}"_s, u"date"_s, u"counter"_s, u":"_s,
            u"+"_s, u"1"_s, u"d"_s, u"x"_s, u" "_s, u"{{date:"_s, u"{{date:1}}"_s, u"{{counter}}"_s,
            u"{{date+1d}}"_s, u"{{date:{{date:"_s, u"e:"_s, u"{{dat"_s};
        QStringList values {u""_s, u"1"_s, u"{{"_s, u"{"_s, u"date:"_s, u"e:1"_s, u"{{date:"_s, u"da"_s,
            u"te:"_s, u"{{counter"_s, u"+1d"_s};
        if (!closing.isEmpty())
            values.append(closing);
        QRandomGenerator random(31);
        for (int made = 0; made < texts; ++made) {
            const QString text = joined(random, textPieces, pieces);
            for (const Placeholder placeholder :
                {Placeholder::shiftedDate, Placeholder::formattedDate, Placeholder::counter}) {
                const QList<IcuRegex::Spans> matches = placeholderSpans(text, placeholder);
                const auto wholeOf = [&](qsizetype match) {
                    const IcuRegex::Span &whole = matches[match].front();
                    return text.sliced(whole.start, whole.end - whole.start);
                };
                // Each value by its placeholder's text, or by the order asked.
                const quint32 seed = random.generate();
                const auto pure = [&](qsizetype match) {
                    QRandomGenerator value(seed ^ qHash(wholeOf(match)));
                    return values[value.bounded(values.size())] + values[value.bounded(values.size() - 1)];
                };
                QList<qsizetype> asked;
                QList<qsizetype> expectedAsked;
                const auto counted = [&](QList<qsizetype> &order) {
                    return [&](qsizetype match) {
                        order.append(match);
                        return QString::number(order.size()) + values[order.size() % values.size()];
                    };
                };
                for (const bool isPure : {true, false}) {
                    asked.clear();
                    expectedAsked.clear();
                    using Value = std::function<QString(qsizetype)>;
                    const Value value = isPure ? Value(pure) : counted(asked);
                    const Value expectedValue = isPure ? Value(pure) : counted(expectedAsked);
                    QString expected = text;
                    for (qsizetype match = matches.size() - 1; match >= 0; --match) {
                        if (const qsizetype at = expected.indexOf(wholeOf(match)); at >= 0)
                            expected.replace(at, wholeOf(match).size(), expectedValue(match));
                    }
                    QCOMPARE(fillFirstOccurrences(text, placeholder, matches, isPure, value), expected);
                    QCOMPARE(asked, expectedAsked);
                }
            }
        }
    }

    // Prompts that values make, or that values break, are filled as when
    // the prompts are found anew for each label.
    void promptsFilledOneLabelAfterAnother_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("values");
        QTest::newRow("a value makes the next label's prompt")
            << u"{{{{prompt:A}}prompt:B}} {{prompt:B}}"_s << u"A={{;B=b"_s;
        QTest::newRow("a value joins a prompt to the text after it")
            << u"{{prompt:A}}{{prompt:A}}x}}"_s << u"A={{prompt:"_s;
        QTest::newRow("a value holding \"}\"") << u"{{prompt:A}}}{{prompt:B}}"_s << u"A=}}{{prompt:;B=1"_s;
        QTest::newRow("an emptied prompt joins two \"}\"") << u"{{prompt:B}}}{{prompt:A}}}}"_s << u"A=;B=2"_s;
        QTest::newRow("one label twice") << u"{{prompt:A}}"_s << u"A={{prompt:A}};A=2"_s;
        // Blanks before the label, from the value and from the text after it.
        QTest::newRow("blanks on both sides of a joint") << u"{{prompt:A}} B}}"_s << u"A={{prompt: ;B=b"_s;
        QTest::newRow("an opening across a joint") << u"{{pro{{prompt:A}}mpt:  B}}"_s << u"A=;B=b"_s;
    }

    void promptsFilledOneLabelAfterAnother()
    {
        QFETCH(QString, text);
        QFETCH(QString, values);
        QCOMPARE(fillPrompts(text, pairsOf(values)), promptsOneLabelAfterAnother(text, pairsOf(values)));
    }

    void promptsFilledOneLabelAfterAnotherShuffled()
    {
        const QStringList pieces {u"{{"_s, u"}}"_s, u"{"_s, u"}"_s, u"prompt:"_s, u"{{prompt:"_s, u"A"_s,
            u"B"_s, u" "_s, u"\t"_s, u"{{prompt:A}}"_s, u"{{prompt: B }}"_s, u"{{pro"_s, u"mpt:"_s,
            u"{{prompt:}}"_s, u"\u00a0"_s, u"\n"_s};
        const QStringList valuePieces {
            u""_s, u"A"_s, u"}"_s, u"}}"_s, u"{{"_s, u"{{prompt:"_s, u" "_s, u"mpt:"_s, u"{{pro"_s, u":"_s};
        const QStringList labels {u"A"_s, u"B"_s, u""_s, u" A"_s, u"A B"_s};
        QRandomGenerator random(31);
        for (int text = 0; text < 3000; ++text) {
            const QString made = joined(random, pieces, 30);
            PromptValues values;
            for (int value = random.bounded(0, 5); value > 0; --value)
                values.append({labels[random.bounded(labels.size())], joined(random, valuePieces, 5)});
            QCOMPARE(fillPrompts(made, values), promptsOneLabelAfterAnother(made, values));
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
