#include "support/TestFiles.h"
#include "text/RtfReader.h"

#include <QTest>

using namespace Qt::StringLiterals;

class RtfReaderTest final : public QObject {
    Q_OBJECT

private slots:
    void fixtures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain, tables skipped")
            << u"plain.rtf"_s << u"Hello, world.\nSecond line\nthird line\ttabbed.\n"_s;
        QTest::newRow("unicode with uc")
            << u"unicode.rtf"_s << u"Café\nSmile 😀 done\n€\n€ after group\nПривет\n"_s;
        QTest::newRow("code page 1251") << u"codepage-1251.rtf"_s << u"Привет, мир!\n"_s;
        QTest::newRow("code page 932, two bytes a character") << u"codepage-932.rtf"_s << u"あいう ok\n"_s;
        QTest::newRow("nested groups, skipped destinations")
            << u"nested.rtf"_s << u"bold both all three plain link text end\n"_s;
        QTest::newRow("extra closing braces end the document") << u"unbalanced.rtf"_s << u"first"_s;
        QTest::newRow("groups never closed") << u"unclosed.rtf"_s << u"open groups never closed"_s;
        QTest::newRow("truncated hex escape") << u"truncated-escape.rtf"_s << u"kept "_s;
        QTest::newRow("truncated surrogate pair") << u"truncated-unicode.rtf"_s << u"kept \uFFFD"_s;
        QTest::newRow("10000 groups deep") << u"deep-nesting.rtf"_s << u"start  end"_s;
        QTest::newRow("10000 groups deep, unclosed") << u"deep-unclosed.rtf"_s << u"start "_s;
    }

    void fixtures()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const QByteArray fixture = readFile(QFINDTESTDATA(u"../data/rtf/"_s + file));
        QVERIFY2(!fixture.isEmpty(), qPrintable(file));
        const std::optional<QString> text = RtfReader::read(fixture);
        QVERIFY(text);
        QCOMPARE(*text, expected);
    }

    void controls_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        QTest::newRow("escaped braces and backslash") << QByteArray(R"({\rtf1 a\{b\}c\\d})") << u"a{b}c\\d"_s;
        QTest::newRow("backslash line feed is a paragraph") << QByteArray("{\\rtf1 a\\\nb}") << u"a\nb"_s;
        QTest::newRow("raw line breaks are not text") << QByteArray("{\\rtf1 a\r\nb}") << u"ab"_s;
        QTest::newRow("special symbols") << QByteArray(R"({\rtf1 a\~b\_c\-d})") << u"a\u00A0b\u2011cd"_s;
        QTest::newRow("uc0 has no fallback") << QByteArray(R"({\rtf1\uc0\u233 x})") << u"éx"_s;
        QTest::newRow("fallback hex escape skipped") << QByteArray(R"({\rtf1\u233\'e9x})") << u"éx"_s;
        QTest::newRow("fallback ends at a group") << QByteArray(R"({\rtf1\uc3\u233{x}y})") << u"éxy"_s;
        QTest::newRow("lone low surrogate") << QByteArray(R"({\rtf1\u-8704?x})") << u"\uFFFDx"_s;
        QTest::newRow("binary data skipped whole")
            << QByteArray("{\\rtf1 a{\\*\\blob\\bin3 }}{}b}") << u"ab"_s;
        QTest::newRow("binary length past the end") << QByteArray("{\\rtf1 a\\bin999999 b}") << u"a"_s;
        QTest::newRow("huge parameters clamp")
            << QByteArray(R"({\rtf1{\uc99999999999999 \u99999999999999 a}b})") << u"b"_s;
        QTest::newRow("ignorable destination") << QByteArray(R"({\rtf1 a{\*\anything b}c})") << u"ac"_s;
        QTest::newRow("destination word only at a group start")
            << QByteArray(R"({\rtf1 a{\b\pict b}c})") << u"abc"_s;
        QTest::newRow("unknown code page keeps the last")
            << QByteArray(R"({\rtf1\ansicpg99999 \'e9})") << u"é"_s;
        QTest::newRow("code pages back and forth")
            << QByteArray(R"({\rtf1\ansicpg1251 \'e0\ansicpg1252 \'e0\ansicpg1251 \'e0\ansicpg70000 \'e0})")
            << u"аàаа"_s;
        QTest::newRow("text after the document") << QByteArray(R"({\rtf1 x}y)") << u"x"_s;
        QTest::newRow("nul bytes dropped") << QByteArray("{\\rtf1 a\0b}", 11) << u"ab"_s;
    }

    void controls()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        const std::optional<QString> text = RtfReader::read(rtf);
        QVERIFY(text);
        QCOMPARE(*text, expected);
    }

    void refusesWhatIsNotRtf_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("plain text") << QByteArray("Hello");
        QTest::newRow("html") << QByteArray("<p>{\\rtf1 x}</p>");
        QTest::newRow("header cut short") << QByteArray("{\\rt");
        QTest::newRow("group without header") << QByteArray("{\\b x}");
    }

    void refusesWhatIsNotRtf()
    {
        QFETCH(QByteArray, data);
        QVERIFY(!RtfReader::read(data));
    }

    void refusesDataAboveTheSizeLimit()
    {
        QByteArray data("{\\rtf1 ");
        data.append(RtfReader::maxInputSize - data.size(), 'a');
        QCOMPARE(RtfReader::read(data).value_or(QString()).size(), RtfReader::maxInputSize - 7);
        data.append('}');
        QVERIFY(!RtfReader::read(data));
    }
};

QTEST_GUILESS_MAIN(RtfReaderTest)
#include "tst_rtfreader.moc"
