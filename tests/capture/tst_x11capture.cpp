#include "CaptureHarness.h"
#include "platform/PasteboardType.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/X11Workspace.h"
#include "support/DesktopPeer.h"
#include "support/NoiseImage.h"

#include <QGuiApplication>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using Formats = QList<std::pair<QString, QByteArray>>;

// Capture from the real clipboard, with another X client as the copying
// application.
class X11CaptureTest final : public QObject {
    Q_OBJECT

private:
    X11Workspace m_workspace;
    std::unique_ptr<X11Pasteboard> m_pasteboard;
    std::unique_ptr<CaptureHarness> m_capture;

private slots:
    void initTestCase() { QVERIFY(QGuiApplication::platformName() == u"xcb"_s); }

    void init()
    {
        m_pasteboard = std::make_unique<X11Pasteboard>();
        m_capture = std::make_unique<CaptureHarness>(*m_pasteboard, m_workspace);
    }

    void cleanup()
    {
        m_capture.reset();
        m_pasteboard.reset();
    }

    void ownWriteIsNotCaptured()
    {
        m_capture->monitor.stopMonitoring();
        const qint64 before = m_pasteboard->changeCount();
        m_pasteboard->write(PasteboardItem::fromString(u"pasted by us"_s));
        m_capture->monitor.setOwnChangeCount(m_pasteboard->changeCount());
        QCOMPARE(m_pasteboard->changeCount(), before + 1);
        m_capture->monitor.checkForChanges();
        QCOMPARE(m_capture->stored().size(), 0);
    }

    void foreignCopy_data()
    {
        QTest::addColumn<Formats>("offered");
        QTest::addColumn<bool>("captured");
        const std::pair text {u"text/plain"_s, u"Grüße aus X"_s.toUtf8()};
        QTest::newRow("plain text") << Formats {text} << true;
        QTest::newRow("KDE password hint")
            << Formats {text, {PasteboardType::kdePasswordHint, "secret"_ba}} << false;
        QTest::newRow("concealed type") << Formats {text, {PasteboardType::concealed, {}}} << false;
    }

    // The poll sees each copy once; marked copies are left alone.
    void foreignCopy()
    {
        QFETCH(Formats, offered);
        QFETCH(bool, captured);
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        const qint64 before = m_pasteboard->changeCount();
        peer.own(offered);
        QTRY_COMPARE_WITH_TIMEOUT(m_pasteboard->changeCount(), before + 1, 10000);
        QTest::qWait(3 * int(ClipboardMonitor::pollInterval.count()));
        QCOMPARE(m_pasteboard->changeCount(), before + 1);
        const QList<ClipboardEntry> entries = m_capture->stored();
        QCOMPARE(entries.size(), captured ? 1 : 0);
        if (captured)
            QCOMPARE(m_capture->open(entries.first().encryptedContent), u"Grüße aus X"_s.toUtf8());
    }

    void imageCopyIsStoredAsPng()
    {
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        // Large enough that X transfers it in pieces.
        peer.ask("image 400 300");
        QList<ClipboardEntry> entries;
        QTRY_VERIFY_WITH_TIMEOUT(!(entries = m_capture->stored()).isEmpty(), 10000);
        QCOMPARE(entries.first().contentType, ContentType::image);
        const QByteArray png = m_capture->open(entries.first().encryptedContent);
        QVERIFY(png.startsWith("\x89PNG"));
        QCOMPARE(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32), noiseImage(400, 300));
    }
};

QTEST_MAIN(X11CaptureTest)
#include "tst_x11capture.moc"
