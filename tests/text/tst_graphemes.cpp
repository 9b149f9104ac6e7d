#include "text/Graphemes.h"

#include <QTest>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

class GraphemesTest final : public QObject {
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<QStringList>("characters");
        QTest::newRow("empty") << QStringList();
        QTest::newRow("combining marks") << QStringList {u"e\u0301\u0302"_s, u"x"_s};
        QTest::newRow("space carrying a mark") << QStringList {u" \u0301"_s, u"a"_s};
        QTest::newRow("mark after a line break stands alone") << QStringList {u"\n"_s, u"\u0301"_s};
        QTest::newRow("joined emoji") << QStringList {
            u"\U0001F469\u200D\U0001F469\u200D\U0001F467"_s, u"\U0001F44D\U0001F3FD"_s, u"!"_s};
        QTest::newRow("flags pair up")
            << QStringList {u"\U0001F1EB\U0001F1F7"_s, u"\U0001F1E9\U0001F1EA"_s, u"\U0001F1E9"_s};
        QTest::newRow("CR LF") << QStringList {u"a"_s, u"\r\n"_s, u"\n"_s, u"\r"_s, u"b"_s};
        QTest::newRow("Hangul") << QStringList {
            u"\u1100\u1161\u11A8"_s, u"\uAC00\u11A8"_s, u"\uAC01"_s, u"\u1100\uAC00"_s};
        QTest::newRow("prepended sign") << QStringList {u"\u0D4E\u0D15"_s, u"\u0D15"_s};
        QTest::newRow("lone surrogate") << QStringList {u"a"_s, QString(QChar(0xD800)), u"\U0001D49C"_s};
    }

    void walk()
    {
        QFETCH(QStringList, characters);
        const QString text = characters.join(QString());
        QList<qsizetype> boundaries {0};
        for (const QString &character : characters)
            boundaries.append(boundaries.last() + character.size());

        QCOMPARE(Graphemes::count(text, std::numeric_limits<qsizetype>::max()), characters.size());
        for (qsizetype n = 0; n <= characters.size(); ++n) {
            QCOMPARE(Graphemes::count(text, n), n);
            QCOMPARE(Graphemes::prefix(text, n), characters.first(n).join(QString()));
        }
        const Graphemes walker(text);
        for (qsizetype position = 0; position <= text.size(); ++position) {
            const auto next = std::upper_bound(boundaries.cbegin(), boundaries.cend(), position);
            const auto previous = std::lower_bound(boundaries.cbegin(), boundaries.cend(), position);
            QCOMPARE(walker.isBoundary(position), boundaries.contains(position));
            QCOMPARE(walker.nextBoundary(position), next == boundaries.cend() ? text.size() : *next);
            QCOMPARE(walker.previousBoundary(position), previous == boundaries.cbegin() ? 0 : previous[-1]);
        }
    }
};

QTEST_MAIN(GraphemesTest)
#include "tst_graphemes.moc"
