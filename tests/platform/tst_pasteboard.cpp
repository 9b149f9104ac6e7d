#include "support/FakePasteboard.h"

#include "platform/PasteboardType.h"

#include <QTest>

using namespace Qt::StringLiterals;

// What every pasteboard derives from its raw data: text, file URLs, types.
class PasteboardTest : public QObject {
    Q_OBJECT

private slots:
    // Spaces, a hash, a percent sign and letters outside ASCII.
    void fileUrlsRoundTrip()
    {
        const QStringList paths {u"/tmp/a b#1.txt"_s, u"/tmp/100%.png"_s, u"/home/zoë/Grüße.odt"_s};
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(QUrl::fromLocalFile(path));
        FakePasteboard pasteboard;
        pasteboard.write(PasteboardItem::fromFileUrls(urls));

        const QList<QUrl> read = pasteboard.fileUrls();
        QCOMPARE(read, urls);
        for (qsizetype i = 0; i < read.size(); ++i)
            QCOMPARE(read[i].toLocalFile(), paths[i]);
    }

    void foreignUriList_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("paths");

        QTest::newRow("LF, no final newline")
            << "file:///tmp/a\nfile:///tmp/b"_ba << QStringList {u"/tmp/a"_s, u"/tmp/b"_s};
        QTest::newRow("comments and blank lines")
            << "# from a file manager\r\n\r\nfile:///tmp/a\r\n"_ba << QStringList {u"/tmp/a"_s};
        QTest::newRow("other schemes left out")
            << "https://example.org/x\r\nfile:///tmp/a\r\nmailto:x@example.org\r\n"_ba
            << QStringList {u"/tmp/a"_s};
        QTest::newRow("not a URL") << "file:///tmp/a b\r\n:::\r\n"_ba << QStringList {};
    }

    void foreignUriList()
    {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, paths);

        FakePasteboard pasteboard;
        PasteboardItem item;
        item.setData(PasteboardType::fileUrl, list);
        pasteboard.copy(item);

        QStringList read;
        for (const QUrl &url : pasteboard.fileUrls())
            read.append(url.toLocalFile());
        QCOMPARE(read, paths);
    }
};

QTEST_MAIN(PasteboardTest)
#include "tst_pasteboard.moc"
