#include "text/LinkCleaner.h"
#include "text/LinkFinder.h"

#include <QTest>

using namespace Qt::StringLiterals;

class LinkCleanerTest final : public QObject {
    Q_OBJECT

private slots:
    void cleanLinks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("only item goes with its ?")
            << u"https://a.com/page?utm_source=news"_s << u"https://a.com/page"_s;
        QTest::newRow("kept items in order, encoding unchanged")
            << u"https://a.com/?id=a%2Fb&fbclid=x&page=%7E2+3"_s << u"https://a.com/?id=a%2Fb&page=%7E2+3"_s;
        QTest::newRow("mixed case names")
            << u"https://a.com/?UTM_Source=x&FBCLID=y&q=1"_s << u"https://a.com/?q=1"_s;
        QTest::newRow("encoded name")
            << u"https://a.com/?%75tm_source=x&fb%63lid=y&q=1"_s << u"https://a.com/?q=1"_s;
        QTest::newRow("malformed encoding kept")
            << u"https://a.com/?%zzutm_x=1&%FFutm_x=2"_s << u"https://a.com/?%zzutm_x=1&%FFutm_x=2"_s;
        QTest::newRow("encoded byte-order mark is part of the name")
            << u"https://a.com/?%EF%BB%BFutm_x=1"_s << u"https://a.com/?%EF%BB%BFutm_x=1"_s;
        QTest::newRow("prefix alone") << u"https://a.com/?utm_=1&utm=2"_s << u"https://a.com/?utm=2"_s;
        QTest::newRow("fragment kept") << u"https://a.com/?utm_source=x#top"_s << u"https://a.com/#top"_s;
        QTest::newRow("query inside the fragment untouched")
            << u"https://a.com/?a=1&gclid=2#s?utm_x=1"_s << u"https://a.com/?a=1#s?utm_x=1"_s;
        QTest::newRow("without scheme")
            << u"see www.example.com/?utm_source=x&id=1 now"_s << u"see www.example.com/?id=1 now"_s;
        QTest::newRow("any scheme") << u"open myapp://item?utm_campaign=x&id=7"_s
                                    << u"open myapp://item?id=7"_s;
        QTest::newRow("nothing to strip")
            << u"https://a.com/?id=1&q=a+b%20c%2f&x#f"_s << u"https://a.com/?id=1&q=a+b%20c%2f&x#f"_s;
        QTest::newRow("no link") << u"utm_source=x and ?fbclid=y"_s << u"utm_source=x and ?fbclid=y"_s;
        QTest::newRow("same link twice") << u"https://a.com/?utm_source=x and https://a.com/?utm_source=x"_s
                                         << u"https://a.com/ and https://a.com/"_s;
        QTest::newRow("shorter link is the start of a longer one")
            << u"https://a.com/?utm_x=1&id=2 and https://a.com/?utm_x=1"_s
            << u"https://a.com/?id=2 and https://a.com/"_s;
        QTest::newRow("only the tracking copy changes")
            << u"https://a.com/?id=1 https://a.com/?id=1&gclid=2"_s
            << u"https://a.com/?id=1 https://a.com/?id=1"_s;
        QTest::newRow("full stop after the link")
            << u"Read https://a.com/?utm_source=x."_s << u"Read https://a.com/."_s;
        QTest::newRow("balanced parentheses inside")
            << u"https://w.org/wiki/A_(b)?utm_source=x"_s << u"https://w.org/wiki/A_(b)"_s;
        QTest::newRow("markdown") << u"[x](https://a.com/?fbclid=1)"_s << u"[x](https://a.com/)"_s;
        QTest::newRow("lines and other scripts around")
            << u"ünï https://a.com/?x=ü&utm_y=2\n次"_s << u"ünï https://a.com/?x=ü\n次"_s;
    }

    void cleanLinks()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(LinkCleaner::cleanLinks(text), expected);
    }

    void findLinks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("links");
        QTest::newRow("www inside a word") << u"awww.a.com"_s << QStringList();
        QTest::newRow("scheme needs a letter") << u"12://a.com"_s << QStringList();
        QTest::newRow("hard stops") << u"<https://a.com/x>\"https://b.com\"`https://c.com`"_s
                                    << QStringList {
                                           u"https://a.com/x"_s, u"https://b.com"_s, u"https://c.com"_s};
        QTest::newRow("zero-width space ends a link")
            << u"https://a.com\u200Bmore"_s << QStringList {u"https://a.com"_s};
        QTest::newRow("lone surrogate ends a link")
            << u"https://a.com/"_s + QChar(0xD800) + u"x"_s << QStringList {u"https://a.com/"_s};
    }

    void findLinks()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, links);
        QStringList found;
        for (const LinkFinder::Link &link : LinkFinder::findLinks(text))
            found.append(text.sliced(link.start, link.length));
        QCOMPARE(found, links);
    }
};

QTEST_GUILESS_MAIN(LinkCleanerTest)
#include "tst_linkcleaner.moc"
