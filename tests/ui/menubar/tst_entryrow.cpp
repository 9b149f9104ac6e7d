#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "crypto/SecureRandom.h"
#include "support/FakeClock.h"
#include "support/FakeKeySender.h"
#include "support/FakeMainQueue.h"
#include "support/StoreFixture.h"
#include "support/TestEntries.h"
#include "support/TestImages.h"
#include "ui/menubar/ClipboardEntryRowModel.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/RowContent.h"

#include <QApplication>
#include <QMenu>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTest>
#include <QThreadPool>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QStringList titles(const MenuModel &menu)
{
    QStringList shown;
    for (const MenuItem &item : menu)
        shown << (item.isSeparator ? u"-"_s : item.submenu.isEmpty() ? item.title : item.title + u'>');
    return shown;
}

// Sealed content of exactly this many bytes: lines of text.
QByteArray textSealedTo(qsizetype sealedSize)
{
    QByteArray text = QByteArray("b\na\n").repeated(sealedSize);
    text.truncate(sealedSize - 28);
    return text;
}

// The panel's model over the real application state and store, unlocked.
struct RowFixture {
    RowFixture()
    {
        key.set(SecureRandom::bytes(32).value());
        appState.configure(nullptr, store.store, store.snippets, nullptr, store.settings);
        appState.setUnlocked(true);
    }

    FakeClock clock;
    FakeMainQueue mainQueue;
    FakeKeySender keySender;
    MasterKeyHolder key;
    EncryptionService encryption {key};
    StoreFixture store {encryption, clock};
    AppStateController appState {clock, mainQueue};
    MainPopoverModel panel {appState, keySender, mainQueue};
};

} // namespace

class EntryRowTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<RowFixture> m_f;

    // A row over the entry, stored and published as the history holds it,
    // once everything it started has finished.
    std::unique_ptr<ClipboardEntryRowModel> loadedRow(const ClipboardEntry &entry)
    {
        awaitFuture(m_f->store.store.insertEntry(entry));
        m_f->appState.setClipboardEntries({entry.published()});
        auto row = std::make_unique<ClipboardEntryRowModel>();
        row->setPanel(&m_f->panel);
        row->setEntryId(entry.id.toString());
        row->loadPreview();
        for (int step = 0; step < 3; ++step) {
            m_f->store.settle();
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
        }
        return row;
    }

    ClipboardEntry entry(ContentType type, const QByteArray &content)
    {
        ClipboardEntry made = sealedEntry(m_f->encryption, type, content);
        made.encryptedPreview = m_f->encryption.encrypt(content).value();
        return made;
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init() { m_f = std::make_unique<RowFixture>(); }

    void cleanup() { m_f.reset(); }

    void thumbnailIsNeverEnlarged_data()
    {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("thumbnail");
        QTest::newRow("wide") << QSize(1000, 100) << QSize(160, 16);
        QTest::newRow("small") << QSize(100, 20) << QSize(100, 20);
        QTest::newRow("no area") << QSize(0, 0) << QSize(0, 0);
    }

    void thumbnailIsNeverEnlarged()
    {
        QFETCH(QSize, image);
        QFETCH(QSize, thumbnail);
        QCOMPARE(RowContent::downscaledThumbnail(QImage(image, QImage::Format_RGB32)).size(), thumbnail);
    }

    void thumbnailKeepsTheColoursOfAPalette()
    {
        QImage twoColours(400, 100, QImage::Format_Mono);
        twoColours.setColorTable({qRgb(40, 200, 200), qRgb(200, 40, 40)});
        twoColours.fill(0);
        const QImage thumbnail = RowContent::downscaledThumbnail(twoColours);
        QCOMPARE(thumbnail.pixel(thumbnail.rect().center()), qRgb(40, 200, 200));
    }

    void rowLoading_data()
    {
        QTest::addColumn<ContentType>("type");
        QTest::addColumn<QByteArray>("content");
        // Null for none; sealed unless damaged.
        QTest::addColumn<QByteArray>("storedPreview");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("sensitive");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QSize>("thumbnail");
        QTest::addColumn<bool>("transforms");
        const QByteArray json = R"({"a": [1, 2]})";
        const QByteArray none;
        const QString placeholder = ClipboardEntryRowModel::placeholder;
        QImage wide(1000, 100, QImage::Format_RGB32);
        wide.fill(Qt::red);
        QTest::newRow("sensitive") << ContentType::plainText << json << QByteArray("sk_live") << false << true
                                   << ClipboardEntryRowModel::lockedPreview << QSize() << false;
        QTest::newRow("undecodable image") << ContentType::image << QByteArray("not a picture") << none
                                           << false << false << placeholder << QSize() << false;
        QTest::newRow("image") << ContentType::image << encodedImage(wide) << none << false << false
                               << placeholder << QSize(160, 16) << false;
        // Any image plugin would draw it; a restored picture is read as capture reads one.
        QTest::newRow("SVG picture") << ContentType::image
                                     << QByteArray(
                                            "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='20'>"
                                            "<rect width='100' height='20' fill='red'/></svg>")
                                     << none << false << false << placeholder << QSize() << false;
        QTest::newRow("text without preview")
            << ContentType::plainText << json << none << false << false << placeholder << QSize() << true;
        QTest::newRow("rich text, preview trimmed")
            << ContentType::richText << json << QByteArray(" \n {\"a\" \n") << false << false << u"{\"a\""_s
            << QSize() << true;
        QTest::newRow("256,000 sealed bytes")
            << ContentType::plainText << textSealedTo(256'000) << QByteArray("b") << false << false << u"b"_s
            << QSize() << true;
        QTest::newRow("256,001 sealed bytes")
            << ContentType::plainText << textSealedTo(256'001) << QByteArray("b") << false << false << u"b"_s
            << QSize() << false;
        QTest::newRow("file") << ContentType::fileURL << QByteArray("/tmp/a b") << QByteArray("/tmp/a b")
                              << false << false << u"/tmp/a b"_s << QSize() << false;
        QTest::newRow("damaged preview, non-UTF-8 content")
            << ContentType::plainText << QByteArray("\xff\xfe") << QByteArray(40, 'x') << true << false
            << placeholder << QSize() << false;
        QTest::newRow("non-UTF-8 preview") << ContentType::plainText << json << QByteArray("\xc3\x28")
                                           << false << false << placeholder << QSize() << true;
    }

    void rowLoading()
    {
        QFETCH(ContentType, type);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, storedPreview);
        QFETCH(bool, damaged);
        QFETCH(bool, sensitive);
        QFETCH(QString, preview);
        QFETCH(QSize, thumbnail);
        QFETCH(bool, transforms);
        ClipboardEntry made = sealedEntry(m_f->encryption, type, content, sensitive);
        if (!storedPreview.isNull())
            made.encryptedPreview = damaged ? storedPreview : m_f->encryption.encrypt(storedPreview).value();
        const auto row = loadedRow(made);
        QCOMPARE(row->preview(), preview);
        QCOMPARE(row->hasThumbnail(), thumbnail.isValid());
        if (thumbnail.isValid())
            QCOMPARE(row->thumbnail().size(), thumbnail);
        QCOMPARE(!row->transforms().isEmpty(), transforms);
    }

    void rowMenus_data()
    {
        QTest::addColumn<ContentType>("type");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("sensitive");
        QTest::addColumn<QStringList>("titles");
        const QStringList tail {u"Pin to Top"_s, u"Favorite"_s, u"-"_s, u"Delete"_s};
        QTest::newRow("sensitive") << ContentType::plainText << int(plain) << true
                                   << (QStringList {u"Paste"_s, u"Copy"_s, u"-"_s} + tail);
        // The paste stack takes text only.
        QTest::newRow("image") << ContentType::image << int(plain) << false
                               << (QStringList {u"Paste"_s, u"Copy"_s, u"-"_s, u"Paste Text from Image"_s,
                                       u"Copy Text from Image"_s, u"-"_s}
                                      + tail);
        QTest::newRow("files") << ContentType::fileURL << int(plain) << false
                               << (QStringList {u"Paste"_s, u"Copy"_s, u"-"_s, u"Paste as UPPERCASE"_s,
                                       u"Paste as lowercase"_s, u"Paste as Title Case"_s, u"Show QR Code"_s,
                                       u"-"_s}
                                      + tail);
        const QStringList text {u"Paste"_s, u"Copy"_s, u"Add to Paste Stack"_s, u"Transform & Paste>"_s,
            u"-"_s, u"Paste as UPPERCASE"_s, u"Paste as lowercase"_s, u"Paste as Title Case"_s,
            u"Show QR Code"_s, u"-"_s};
        QTest::newRow("text") << ContentType::plainText << int(plain) << false << (text + tail);
        QTest::newRow("pinned and starred")
            << ContentType::richText << int(pinned | starred) << false
            << (text + QStringList {u"Unpin"_s, u"Remove Favorite"_s, u"-"_s, u"Delete"_s});
    }

    void rowMenus()
    {
        QFETCH(ContentType, type);
        QFETCH(int, flags);
        QFETCH(bool, sensitive);
        QFETCH(QStringList, titles);
        ClipboardEntry made = entry(type, " hello world ");
        made.isFavorite = (flags & starred) != 0;
        made.isPinned = (flags & pinned) != 0;
        made.isSensitive = sensitive;
        const auto row = loadedRow(made);
        QCOMPARE(::titles(row->rowMenuItems()), titles);
    }

    void timeTexts_data()
    {
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("countdown");
        QTest::newRow("now") << 0LL << u"0 sec. ago"_s << u"0 sec"_s;
        QTest::newRow("seconds") << 59LL << u"59 sec. ago"_s << u"59 sec"_s;
        QTest::newRow("minutes") << 252LL << u"4 min. ago"_s << u"4 min, 12 sec"_s;
        QTest::newRow("whole hour") << 3600LL << u"1 hr. ago"_s << u"1 hr"_s;
        QTest::newRow("hours") << 3725LL << u"1 hr. ago"_s << u"1 hr, 2 min"_s;
        QTest::newRow("days") << 3 * 86'400LL + 7200 << u"3 days ago"_s << u"3 days, 2 hr"_s;
        QTest::newRow("weeks") << 15 * 86'400LL << u"2 wk. ago"_s << u"15 days"_s;
        QTest::newRow("months") << 40 * 86'400LL << u"1 mo. ago"_s << u"40 days"_s;
        QTest::newRow("years") << 800 * 86'400LL << u"2 yr. ago"_s << u"800 days"_s;
        QTest::newRow("ahead") << -300LL << u"in 5 min."_s << u"5 min"_s;
    }

    void timeTexts()
    {
        QFETCH(qint64, secondsAgo);
        QFETCH(QString, age);
        QFETCH(QString, countdown);
        const RowTimeTexts &texts = m_f->panel.rowTimes();
        QCOMPARE(texts.ageText(m_f->clock.now().addSecs(-secondsAgo)), age);
        QCOMPARE(texts.countdownText(m_f->clock.now().addSecs(secondsAgo)), countdown);
    }

    void rowsFollowTheSharedTick()
    {
        ClipboardEntry expiring = entry(ContentType::plainText, "a");
        expiring.expiresAt = m_f->clock.now().addSecs(61);
        const auto row = loadedRow(expiring);
        QCOMPARE(row->countdown(), u"1 min, 1 sec"_s);
        m_f->clock.advance(1s);
        emit m_f->panel.rowTimes().ticked();
        QCOMPARE(row->countdown(), u"1 min"_s);
        QCOMPARE(row->age(), u"1 sec. ago"_s);
    }

    void aLockClosesTheRowMenu()
    {
        const auto row = loadedRow(entry(ContentType::plainText, "a"));
        row->popUpMenu();
        QVERIFY(row->openMenu() && row->openMenu()->isVisible());
        m_f->appState.setUnlocked(false);
        QVERIFY(!row->openMenu() || !row->openMenu()->isVisible());
    }

    void keyCapsForTheFirstNine()
    {
        QCOMPARE(ClipboardEntryRowModel::keyCapText(2), u"Ctrl+3"_s);
        QVERIFY(ClipboardEntryRowModel::keyCapText(9).isEmpty());
    }

    void viewLoadsWithoutWarnings()
    {
        const ClipboardEntry expiring = entry(ContentType::plainText, "a");
        const auto row = loadedRow(expiring);
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        QQmlEngine engine;
        QQmlComponent component(
            &engine, QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/ClipboardEntryRow.qml"_s));
        const std::unique_ptr<QObject> view(component.createWithInitialProperties(
            {{u"panel"_s, QVariant::fromValue(&m_f->panel)}, {u"entryId"_s, expiring.id.toString()}}));
        QVERIFY2(view, qPrintable(component.errorString()));
        QTRY_COMPARE(view->findChild<QQuickItem *>(u"preview"_s)->property("text").toString(), u"a"_s);
    }
};

QTEST_MAIN(EntryRowTest)
#include "tst_entryrow.moc"
