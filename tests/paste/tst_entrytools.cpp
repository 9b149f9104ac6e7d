#include "crypto/EncryptionService.h"
#include "paste/EntryTools.h"
#include "paste/PerformSmartAction.h"
#include "platform/PasteboardType.h"
#include "store/EntryContentReader.h"
#include "support/FakeAlerts.h"
#include "support/FakePasteAccess.h"
#include "support/FakePasteboard.h"
#include "support/FakeWorkspace.h"
#include "support/OpenStore.h"
#include "support/TestEntries.h"
#include "support/TestImages.h"

#include <QPromise>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ClipboardEntry)
Q_DECLARE_METATYPE(PasteboardItem)

namespace {

const RunningApplication editor {u"org.example.Editor"_s, u"Editor"_s, 100, 0x400001};
const RunningApplication browser {u"org.example.Browser"_s, u"Browser"_s, 200, 0x600001};

using Answer = QPromise<std::optional<QString>>;

QByteArray smallPng()
{
    QImage small(4, 3, QImage::Format_RGB32);
    small.fill(Qt::white);
    return encodedImage(small);
}

// What one test works with; the recognizer answers when the test says so.
struct Fixture {
    explicit Fixture(const EncryptionService &encryption)
        : store(encryption), tools(paste, content, pasteboard, alerts, [this](const QByteArray &image) {
              recognized.append(image);
              answers.append(std::make_shared<Answer>());
              answers.last()->start();
              return answers.last()->future();
          })
    {
        paste.target = editor;
    }

    // Answers the oldest recognition and lets its continuation run.
    void answer(const std::optional<QString> &text)
    {
        const std::shared_ptr<Answer> promise = answers.takeFirst();
        promise->addResult(text);
        promise->finish();
        QCoreApplication::processEvents();
    }

    OpenStore store;
    const EntryContentReader content {store.store};
    FakePasteAccess paste;
    FakePasteboard pasteboard;
    FakeAlerts alerts;
    QList<QByteArray> recognized;
    QList<std::shared_ptr<Answer>> answers;
    EntryTools tools;
};

} // namespace

class EntryToolsTest final : public QObject {
    Q_OBJECT

    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<Fixture> m_f;

    ClipboardEntry entry(ContentType type, const QByteArray &content, bool sensitive = false) const
    {
        return sealedEntry(m_encryption, type, content, sensitive);
    }

private slots:
    void initTestCase() { m_key.set(SecureBytes(QByteArray(32, 'k'))); }
    void init() { m_f = std::make_unique<Fixture>(m_encryption); }
    void cleanup() { m_f.reset(); }

    void pasteModePastesWhereTheUserWasAtTheStart()
    {
        m_f->tools.recognizeTextInEntry(entry(ContentType::image, smallPng()), false);
        QCOMPARE(m_f->recognized, QList<QByteArray> {smallPng()});
        m_f->paste.target = browser;
        m_f->answer(u"HELLO"_s);
        QCOMPARE(m_f->paste.pastes, QStringList {u"HELLO > Editor"_s});
        QVERIFY(m_f->pasteboard.writes().isEmpty());
        QVERIFY(m_f->alerts.events.isEmpty());
    }

    // Written as another application's copy would be, so the monitor's next
    // tick captures it.
    void copyModeOnlyWritesThePasteboard()
    {
        m_f->tools.recognizeTextInEntry(entry(ContentType::image, smallPng()), true);
        m_f->paste.target = browser;
        m_f->answer(u"HELLO"_s);
        QCOMPARE(m_f->pasteboard.writes(), QList<PasteboardItem> {PasteboardItem::fromString(u"HELLO"_s)});
        QVERIFY(m_f->paste.pastes.isEmpty());
        QCOMPARE(m_f->paste.target, browser);
    }

    void noTextBeepsAndExplains()
    {
        m_f->tools.recognizeTextInEntry(entry(ContentType::image, smallPng()), false);
        m_f->answer(std::nullopt);
        QCOMPARE(m_f->alerts.events,
            QStringList({u"beep"_s, u"No text found | Vantorell couldn't find any text in that image."_s}));
        QVERIFY(m_f->paste.pastes.isEmpty());
        QVERIFY(m_f->pasteboard.writes().isEmpty());
    }

    // Recognition takes image entries only, transforms any UTF-8 content;
    // neither opens a sensitive entry or one that does not open.
    void whichEntriesAreRead_data()
    {
        QTest::addColumn<ClipboardEntry>("item");
        QTest::addColumn<bool>("recognized");
        QTest::addColumn<bool>("transformed");
        QTest::newRow("text") << entry(ContentType::plainText, " a ") << false << true;
        QTest::newRow("file, UTF-8") << entry(ContentType::fileURL, " /tmp/a.txt ") << false << true;
        QTest::newRow("image, not UTF-8") << entry(ContentType::image, smallPng()) << true << false;
        QTest::newRow("sensitive image") << entry(ContentType::image, smallPng(), true) << false << false;
        QTest::newRow("sensitive text")
            << entry(ContentType::plainText, " sk_live_1 ", true) << false << false;
        ClipboardEntry damaged = entry(ContentType::image, smallPng());
        damaged.encryptedContent[20] = char(damaged.encryptedContent[20] ^ 1);
        QTest::newRow("content that does not open") << damaged << false << false;
    }

    void whichEntriesAreRead()
    {
        QFETCH(ClipboardEntry, item);
        QFETCH(bool, recognized);
        QFETCH(bool, transformed);
        m_f->tools.recognizeTextInEntry(item, true);
        m_f->tools.pasteTransformedEntry(item, TextTransform::trim);
        QCOMPARE(m_f->recognized.size(), recognized ? 1 : 0);
        QCOMPARE(m_f->paste.pastes.size(), transformed ? 1 : 0);
        QVERIFY(m_f->alerts.events.isEmpty());
    }

    void pasteboardImage_data()
    {
        QTest::addColumn<PasteboardItem>("contents");
        QTest::addColumn<QByteArray>("recognized");
        QTest::addColumn<QStringList>("events");
        QImage small(4, 3, QImage::Format_RGB32);
        small.fill(Qt::white);
        PasteboardItem images;
        images.setData(PasteboardType::tiff, encodedImage(small, "TIFF"));
        images.setData(PasteboardType::png, encodedImage(small));
        QTest::newRow("PNG before TIFF") << images << encodedImage(small) << QStringList {};
        QTest::newRow("SVG offered as PNG")
            << PasteboardItem::fromPng("<svg xmlns='http://www.w3.org/2000/svg'/>") << QByteArray()
            << QStringList {u"beep"_s, u"No text found | Vantorell couldn't find any text in that image."_s};
        QTest::newRow("text only") << PasteboardItem::fromString(u"HELLO"_s) << QByteArray()
                                   << QStringList {u"beep"_s};
        // One bit a pixel keeps the picture small; its size is what counts.
        QImage huge(8000, 6000, QImage::Format_Mono);
        huge.fill(0);
        QTest::newRow("too large to decode")
            << PasteboardItem::fromPng(encodedImage(huge)) << QByteArray()
            << QStringList {u"beep"_s, u"No text found | Vantorell couldn't find any text in that image."_s};
    }

    // A history entry holding the pasteboard's PNG, as a backup can bring
    // one, gets the same answer.
    void pasteboardImage()
    {
        QFETCH(PasteboardItem, contents);
        QFETCH(QByteArray, recognized);
        QFETCH(QStringList, events);
        const std::optional<QByteArray> png = contents.data(PasteboardType::png);
        for (const bool fromEntry : {false, true}) {
            if (fromEntry && !png)
                break;
            m_f = std::make_unique<Fixture>(m_encryption);
            if (fromEntry) {
                m_f->tools.recognizeTextInEntry(entry(ContentType::image, *png), false);
            } else {
                m_f->pasteboard.copy(contents);
                m_f->tools.ocrClipboardImage();
            }
            QCOMPARE(m_f->alerts.events, events);
            QCOMPARE(m_f->recognized, recognized.isNull() ? QList<QByteArray>() : QList {recognized});
            if (recognized.isNull())
                continue;
            m_f->paste.target = browser;
            m_f->answer(u"HELLO"_s);
            QCOMPARE(m_f->paste.pastes, QStringList {u"HELLO > Editor"_s});
        }
    }

    void transform_data()
    {
        QTest::addColumn<QString>("transform");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");

        const QString wrongFormat = u" | That item isn't in the right format."_s;
        QTest::newRow("trim") << u"trim"_s << u"  a b \n"_s << u"a b > Editor"_s;
        QTest::newRow("invalid JSON")
            << u"prettyJSON"_s << u"{a:"_s << u"Can't pretty-print json"_s + wrongFormat;
        QTest::newRow("invalid Base64")
            << u"base64Decode"_s << u"%%%"_s
            << u"Can't "_s + TextTransform(TextTransform::base64Decode).title().toLower() + wrongFormat;
    }

    // From the pasteboard's text and from an entry alike; a failure leaves
    // the pasteboard alone.
    void transform()
    {
        QFETCH(QString, transform);
        QFETCH(QString, text);
        QFETCH(QString, result);
        const TextTransform kind = TextTransform::fromRawValue(transform).value();
        m_f->tools.pasteTransformedText(text, kind);
        m_f->tools.pasteTransformedEntry(entry(ContentType::plainText, text.toUtf8()), kind);
        const QStringList signalled = m_f->paste.pastes + m_f->alerts.events;
        const QStringList expected = result.endsWith(u"Editor")
            ? QStringList {result, result}
            : QStringList {u"beep"_s, result, u"beep"_s, result};
        QCOMPARE(signalled, expected);
        QVERIFY(m_f->pasteboard.writes().isEmpty());
    }

    // The real recognizer, off the main thread, from sealed bytes to paste.
    void recognizesARealImage()
    {
        EntryTools tools(m_f->paste, m_f->content, m_f->pasteboard, m_f->alerts);
        tools.recognizeTextInEntry(
            entry(ContentType::image, encodedImage(textPicture(200, {u"Vantorell 42"_s}))), false);
        QTRY_COMPARE_WITH_TIMEOUT(m_f->paste.pastes, QStringList {u"Vantorell 42 > Editor"_s}, 60'000);
    }

    void smartAction_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("written");

        QTest::newRow("link, trimmed")
            << u"openURL"_s << u" https://a.com/x?q=1\n"_s << u"https://a.com/x?q=1"_s << QString();
        QTest::newRow("link that does not parse")
            << u"openURL"_s << u"https://a.com/<x>"_s << QString() << QString();
        QTest::newRow("mail") << u"composeEmail"_s << u"\tjo@example.com "_s << u"mailto:jo@example.com"_s
                              << QString();
        QTest::newRow("case of the untrimmed text")
            << u"uppercase"_s << u" straße\n"_s << QString() << u" STRASSE\n"_s;
    }

    void smartAction()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QString, opened);
        QFETCH(QString, written);
        FakePasteboard pasteboard;
        FakeWorkspace workspace;
        QList<qint64> ownChanges;
        performSmartAction(*fromRawValue<SmartActionKind>(kind), text, pasteboard, workspace,
            [&](qint64 changeCount) { ownChanges.append(changeCount); });

        QCOMPARE(workspace.openedURLs(), opened.isNull() ? QList<QUrl>() : QList {QUrl(opened)});
        QCOMPARE(pasteboard.writes(),
            written.isNull() ? QList<PasteboardItem>() : QList {PasteboardItem::fromString(written)});
        QCOMPARE(ownChanges, written.isNull() ? QList<qint64>() : QList {pasteboard.changeCount()});
    }
};

QTEST_MAIN(EntryToolsTest)
#include "tst_entrytools.moc"
