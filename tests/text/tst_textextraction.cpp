#include "support/TestFiles.h"
#include "text/DocumentText.h"
#include "text/HtmlBounds.h"
#include "text/PasswordHeuristic.h"
#include "text/TextExtraction.h"

#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Absent flavours are null variants.
PasteboardFlavours flavours(const QVariant &rtf, const QVariant &html, int &rtfReads, int &htmlReads)
{
    const auto reader = [](const QVariant &data, int &reads) {
        return [data, &reads]() -> std::optional<QByteArray> {
            ++reads;
            if (data.isNull())
                return std::nullopt;
            return data.toByteArray();
        };
    };
    return {reader(rtf, rtfReads), reader(html, htmlReads)};
}

} // namespace

class TextExtractionTest final : public QObject {
    Q_OBJECT

private slots:
    void looksLikeHTML_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("html");
        QTest::newRow("starts with < and holds > later") << u"<x and y> more"_s << true;
        QTest::newRow("heart") << u"<3 you"_s << false;
        QTest::newRow("comparison in prose") << u"a < b and c > d"_s << false;
        QTest::newRow("line break tag in prose") << u"one<br>two"_s << true;
    }

    void looksLikeHTML()
    {
        QFETCH(QString, text);
        QFETCH(bool, html);
        QCOMPARE(TextExtraction::looksLikeHTML(text), html);
    }

    void extractPlainText_data()
    {
        QTest::addColumn<QString>("string");
        QTest::addColumn<QVariant>("rtf");
        QTest::addColumn<QVariant>("html");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("rtfReads");
        QTest::addColumn<int>("htmlReads");
        const QVariant none;
        const QVariant rtf(QByteArray("{\\rtf1 From RTF}"));
        const QVariant html(QByteArray("<p>From <b>HTML</b></p>"));
        QTest::newRow("ordinary text unchanged, nothing read")
            << u"  hello  \n"_s << rtf << html << u"  hello  \n"_s << 0 << 0;
        QTest::newRow("html source with html data")
            << u"<p>word</p>"_s << none << html << u"From HTML"_s << 1 << 1;
        QTest::newRow("blank with rtf") << u" \n\t"_s << rtf << none << u"From RTF"_s << 1 << 0;
        QTest::newRow("rtf before html") << u"<p>word</p>"_s << rtf << html << u"From RTF"_s << 1 << 0;
        QTest::newRow("html source without flavours")
            << u"<p>word</p>"_s << none << none << u"<p>word</p>"_s << 1 << 1;
        QTest::newRow("unreadable rtf, then html")
            << QString() << QVariant(QByteArray("not rtf")) << html << u"From HTML"_s << 1 << 1;
    }

    void extractPlainText()
    {
        QFETCH(QString, string);
        QFETCH(QVariant, rtf);
        QFETCH(QVariant, html);
        QFETCH(QString, expected);
        QFETCH(int, rtfReads);
        QFETCH(int, htmlReads);
        int rtfCalls = 0;
        int htmlCalls = 0;
        QCOMPARE(TextExtraction::extractPlainText(string, flavours(rtf, html, rtfCalls, htmlCalls)).finish(),
            expected);
        QCOMPARE(rtfCalls, rtfReads);
        QCOMPARE(htmlCalls, htmlReads);
    }

    void htmlLoadsNoResources()
    {
        QTemporaryDir folder;
        const QString styleSheet = folder.filePath(u"style.css"_s);
        QVERIFY(writeFile(styleSheet, "p { white-space: pre }"));
        const QString html
            = u"<html><head><link rel=\"stylesheet\" type=\"text/css\" href=\"%1\"></head><body><p>a    b</p></body></html>"_s
                  .arg(QUrl::fromLocalFile(styleSheet).toString());

        // A plain document reads the style sheet and keeps the blanks.
        QTextDocument loading;
        loading.setHtml(html);
        QCOMPARE(loading.toPlainText(), u"a    b"_s);

        QCOMPARE(DocumentText::fromHTML(html.toUtf8()), u"a b"_s);
    }

    void html_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("expected");
        QTest::newRow("image dropped")
            << QByteArray("<p>a<img src=\"file:///etc/hostname\">b</p>") << u"ab"_s;
        QTest::newRow("utf-8 with byte order mark") << QByteArray("\xEF\xBB\xBF<p>é</p>") << u"é"_s;
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QTest::newRow("utf-16 with byte order mark") << QByteArray(utf16(u"<p>é</p>")) << u"é"_s;
        QTest::newRow("paragraphs") << QByteArray("<p>one</p><p>two</p>") << u"one\ntwo"_s;
    }

    void html()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, expected);
        QCOMPARE(DocumentText::fromHTML(html), expected);
    }

    void htmlBounds_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<bool>("fits");
        QTest::newRow("one deeper, closed")
            << u"<div>"_s.repeated(HtmlBounds::maxDepth + 1) + u"</div>"_s.repeated(HtmlBounds::maxDepth + 1)
            << false;
        QTest::newRow("siblings, end tags left out")
            << u"<ul>"_s + u"<li><p>a<br>"_s.repeated(HtmlBounds::maxListItems) << true;
        QTest::newRow("one list item too many")
            << u"<li>a</li>"_s.repeated(HtmlBounds::maxListItems + 1) << false;
        QTest::newRow("tags inside a comment and a script")
            << u"<!-- "_s + u"<div>"_s.repeated(HtmlBounds::maxDepth) + u" --><script>"_s
                + u"if (a<b) x;"_s.repeated(HtmlBounds::maxDepth) + u"</SCRIPT>"_s
            << true;
    }

    void htmlBounds()
    {
        QFETCH(QString, html);
        QFETCH(bool, fits);
        QCOMPARE(HtmlBounds::fits(html), fits);
    }

    void looksLikePassword_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("password");
        QTest::newRow("12, three classes") << u"Abcdefghij12"_s << true;
        QTest::newRow("11, three classes") << u"Abcdefghij1"_s << false;
        QTest::newRow("128") << u"Aa1"_s + u"x"_s.repeated(125) << true;
        QTest::newRow("129") << u"Aa1"_s + u"x"_s.repeated(126) << false;
        QTest::newRow("11 clusters in 12 code units") << u"A\u0301bcdefghi12"_s << false;
        QTest::newRow("two classes") << u"abcdefghij12"_s << false;
        QTest::newRow("small, capital, accented") << u"Abcdefghijké"_s << true;
        QTest::newRow("space") << u"Abcdef ghij12"_s << false;
        QTest::newRow("scheme") << u"Abc://defghij12"_s << false;
        QTest::newRow("http") << u"httpAbcdefgh12"_s << false;
        QTest::newRow("Http") << u"HttpAbcdefgh12"_s << true;
        QTest::newRow("line feed") << u"Abcdef\nghij12"_s << false;
        QTest::newRow("blanks and tabs trimmed") << u"\t Abcdefghij12 \u00A0"_s << true;
        QTest::newRow("trimmed to 11") << u" Abcdefghij1 "_s << false;
    }

    void looksLikePassword()
    {
        QFETCH(QString, text);
        QFETCH(bool, password);
        QCOMPARE(PasswordHeuristic::looksLikePassword(text), password);
    }
};

QTEST_MAIN(TextExtractionTest)
#include "tst_textextraction.moc"
