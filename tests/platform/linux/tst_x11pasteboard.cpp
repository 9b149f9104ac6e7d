#include "support/DesktopPeer.h"

#include "platform/PasteboardType.h"
#include "platform/linux/X11Pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

using Formats = QList<std::pair<QString, QByteArray>>;

namespace {

// What the peer offers, as it reads it back.
QHash<QString, QByteArray> dump(DesktopPeer &peer)
{
    QHash<QString, QByteArray> formats;
    for (const QByteArray &line : peer.ask("dump")) {
        const QByteArrayList words = line.split(' ');
        formats.insert(QString::fromUtf8(words.value(0)),
            words.value(1) == "-" ? QByteArray() : QByteArray::fromBase64(words.value(1)));
    }
    return formats;
}

} // namespace

// The real CLIPBOARD selection, with a second X client as the other
// application.
class X11PasteboardTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(QGuiApplication::platformName() == u"xcb"_s); }

    void foreignCopy_data()
    {
        QTest::addColumn<Formats>("offered");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray text = u"Grüße ✓ \"quoted\""_s.toUtf8();
        QTest::newRow("plain text") << Formats {{u"text/plain"_s, text}} << PasteboardType::string << text;
        QTest::newRow("text with charset")
            << Formats {{u"text/plain;charset=utf-8"_s, text}} << PasteboardType::string << text;
        QTest::newRow("html beside text")
            << Formats {{u"text/html"_s, "<b>bold</b>"_ba}, {u"text/plain"_s, "bold"_ba}}
            << PasteboardType::html << "<b>bold</b>"_ba;
        QTest::newRow("rtf as application/rtf")
            << Formats {{u"application/rtf"_s, "{\\rtf1 hi}"_ba}} << PasteboardType::rtf << "{\\rtf1 hi}"_ba;
        QTest::newRow("file list") << Formats {{u"text/uri-list"_s, "file:///tmp/a%20b\r\n"_ba}}
                                   << PasteboardType::fileUrl << "file:///tmp/a%20b\r\n"_ba;
        // Only a password hint marks a copy as concealed.
        QTest::newRow("KDE hint of something else")
            << Formats {{u"text/plain"_s, text}, {PasteboardType::kdePasswordHint, "public"_ba}}
            << PasteboardType::string << text;
        QTest::newRow("rtf as text/richtext")
            << Formats {{u"text/richtext"_s, "{\\rtf1 hi}"_ba}} << PasteboardType::rtf << "{\\rtf1 hi}"_ba;
    }

    void foreignCopy()
    {
        QFETCH(Formats, offered);
        QFETCH(QString, type);
        QFETCH(QByteArray, expected);

        X11Pasteboard pasteboard;
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        expectOneChange(pasteboard, [&] { peer.own(offered); });

        const QStringList types = pasteboard.types().value();
        QVERIFY2(types.contains(type), qPrintable(types.join(u", "_s)));
        for (const QString &pseudoTarget : {u"TARGETS"_s, u"MULTIPLE"_s, u"TIMESTAMP"_s, u"SAVE_TARGETS"_s,
                 u"application/rtf"_s, u"text/plain;charset=utf-8"_s})
            QVERIFY2(!types.contains(pseudoTarget), qPrintable(pseudoTarget));
        QCOMPARE(pasteboard.data(type), expected);
        QVERIFY(!pasteboard.hasType(PasteboardType::concealed));
    }

    void ownWrite_data()
    {
        QTest::addColumn<PasteboardItem>("item");
        QTest::addColumn<bool>("concealed");

        QTest::newRow("text") << PasteboardItem::fromString(u"déjà vu"_s) << false;
        PasteboardItem secret = PasteboardItem::fromString(u"correct horse"_s);
        secret.markConcealed();
        QTest::newRow("concealed text") << secret << true;
        QTest::newRow("files") << PasteboardItem::fromFileUrls(
            {QUrl::fromLocalFile(u"/tmp/a b"_s), QUrl::fromLocalFile(u"/tmp/c"_s)})
                               << false;
    }

    void ownWrite()
    {
        QFETCH(PasteboardItem, item);
        QFETCH(bool, concealed);

        X11Pasteboard pasteboard;
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        const qint64 before = pasteboard.changeCount();
        pasteboard.write(item);
        QCOMPARE(pasteboard.changeCount(), before + 1);

        // The other application sees the whole item, from one write.
        const QHash<QString, QByteArray> seen = dump(peer);
        for (const PasteboardItem::Representation &representation : item.representations)
            QCOMPARE(seen.value(representation.type, "missing"_ba), representation.data);
        QCOMPARE(seen.contains(PasteboardType::concealed), concealed);
        QCOMPARE(seen.value(PasteboardType::kdePasswordHint), concealed ? "secret"_ba : QByteArray());
        QCOMPARE(pasteboard.changeCount(), before + 1);
        QCOMPARE(pasteboard.hasType(PasteboardType::concealed), concealed);
    }

    void clearCountsOnce()
    {
        X11Pasteboard pasteboard;
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        pasteboard.write(PasteboardItem::fromString(u"gone soon"_s));
        const qint64 written = pasteboard.changeCount();
        pasteboard.clear();
        QCOMPARE(pasteboard.changeCount(), written + 1);

        QVERIFY(dump(peer).isEmpty());
        QCOMPARE(pasteboard.types(), QStringList());
        QCOMPARE(pasteboard.changeCount(), written + 1);
    }

    void takeover()
    {
        X11Pasteboard pasteboard;
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        PasteboardItem secret = PasteboardItem::fromString(u"kept secret"_s);
        secret.markConcealed();
        pasteboard.write(secret);
        const qint64 written = pasteboard.changeCount();
        // A persistence daemon taking over with a copy of our data is no new copy.
        peer.ask("mirror");
        QTRY_VERIFY(!QGuiApplication::clipboard()->ownsClipboard());
        QTest::qWait(300);
        QCOMPARE(pasteboard.changeCount(), written);
        QCOMPARE(pasteboard.string(), u"kept secret"_s);

        expectOneChange(pasteboard, [&] { peer.own({{u"text/plain"_s, "theirs"_ba}}); });
        QCOMPARE(pasteboard.string(), u"theirs"_s);
    }

    void readsEachFormatOncePerChange()
    {
        X11Pasteboard pasteboard;
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        expectOneChange(pasteboard, [&] {
            peer.own({{u"text/plain"_s, "words"_ba}, {u"text/html"_s, "<i>words</i>"_ba},
                {PasteboardType::kdePasswordHint, "none"_ba}});
        });
        // A new count alone asks the owner for nothing.
        QVERIFY(peer.ask("served").isEmpty());

        QVERIFY(pasteboard.string());
        QVERIFY(pasteboard.data(PasteboardType::html));
        QVERIFY(!pasteboard.hasType(PasteboardType::concealed));
        const QByteArrayList first = peer.ask("served");
        QVERIFY(!first.isEmpty());

        QVERIFY(pasteboard.string());
        QVERIFY(pasteboard.data(PasteboardType::html));
        QVERIFY(pasteboard.types());
        QCOMPARE(peer.ask("served"), first);

        // What lock leaves in memory: nothing; the owner is asked again.
        pasteboard.forgetReadContent();
        QVERIFY(pasteboard.string());
        QVERIFY(peer.ask("served") != first);
    }

private:
    // Makes the change, waits for one move of the count, then makes sure no
    // second one follows.
    void expectOneChange(const X11Pasteboard &pasteboard, const std::function<void()> &change)
    {
        const qint64 before = pasteboard.changeCount();
        change();
        QTRY_COMPARE_WITH_TIMEOUT(pasteboard.changeCount(), before + 1, 10000);
        QTest::qWait(300);
        QCOMPARE(pasteboard.changeCount(), before + 1);
    }
};

QTEST_MAIN(X11PasteboardTest)
#include "tst_x11pasteboard.moc"
