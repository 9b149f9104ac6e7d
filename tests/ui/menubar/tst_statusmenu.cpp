#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "platform/PasteboardType.h"
#include "support/FakeClock.h"
#include "support/FakeKeySender.h"
#include "support/FakePasteboard.h"
#include "support/StoreFixture.h"
#include "ui/design/Symbols.h"
#include "ui/menubar/MenuRenderer.h"
#include "ui/menubar/StatusMenuActions.h"
#include "ui/menubar/StatusMenuBuilder.h"

#include <QMenu>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Records each action as "name" or "name payload".
class RecordingActions final : public StatusMenuActions {
public:
    QStringList calls;

    void openAccessibilityFromMenu() override { calls << u"accessibility"_s; }
    void pasteHistoryItem(const QVariant &payload) override
    {
        calls << u"history "_s + payload.value<QUuid>().toString();
    }
    void pasteSnippetItem(const QVariant &payload) override
    {
        calls << u"snippet "_s + payload.value<Snippet>().title;
    }
    void openSnippetManagerWindow() override { calls << u"snippets"_s; }
    void transformClipboard(const QVariant &payload) override
    {
        calls << u"transform "_s + payload.toString();
    }
    void ocrClipboardImage() override { calls << u"ocr"_s; }
    void pauseCapture(const QVariant &payload) override { calls << u"pause "_s + payload.toString(); }
    void resumeCapture() override { calls << u"resume"_s; }
    void toggleSecureMode() override { calls << u"private"_s; }
    void clearHistoryFromMenu() override { calls << u"clear"_s; }
    void panicClearFromMenu() override { calls << u"panic"_s; }
    void openSettingsFromMenu() override { calls << u"settings"_s; }
    void openPanelFromMenu() override { calls << u"panel"_s; }
    void lockApp() override { calls << u"lock"_s; }
    void quitApp() override { calls << u"quit"_s; }
};

// One line per item: the title, "(off)" when disabled, the shortcut, and
// the submenu's lines indented; "---" for a separator.
QStringList outline(const MenuModel &model, const QString &indent = {})
{
    QStringList lines;
    for (const MenuItem &item : model) {
        if (item.isSeparator) {
            lines << indent + u"---"_s;
            continue;
        }
        QString line = indent + item.title;
        if (!item.enabled)
            line += u" (off)"_s;
        if (!item.shortcut.isEmpty())
            line += u" ["_s + item.shortcut.toString() + u']';
        lines << line;
        lines << outline(item.submenu, indent + u"  "_s);
    }
    return lines;
}

const MenuItem *find(const MenuModel &model, const QString &title)
{
    for (const MenuItem &item : model) {
        if (item.title == title)
            return &item;
        if (const MenuItem *found = find(item.submenu, title))
            return found;
    }
    return nullptr;
}

Snippet snippet(const QString &title, std::optional<QString> group = std::nullopt)
{
    Snippet made;
    made.id = QUuid::createUuid();
    made.title = title;
    made.group = std::move(group);
    return made;
}

} // namespace

class StatusMenuTest final : public QObject {
    Q_OBJECT

    FakeClock m_clock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<StoreFixture> m_fixture;
    std::unique_ptr<AppStateController> m_appState;
    FakePasteboard m_pasteboard;
    FakeKeySender m_keySender;
    RecordingActions m_actions;

    StatusMenuBuilder builder()
    {
        return StatusMenuBuilder(*m_appState, m_fixture->settings, m_pasteboard, m_keySender, m_actions);
    }

    ClipboardEntry textEntry(const QByteArray &preview)
    {
        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.encryptedPreview = m_encryption.encrypt(preview).value();
        return entry;
    }

    void setHistory(int count)
    {
        QList<ClipboardEntry> entries;
        for (int i = 0; i < count; ++i)
            entries << textEntry(QByteArray::number(i + 1));
        m_appState->setClipboardEntries(entries);
    }

private slots:
    void init()
    {
        m_key.set(SecureBytes(QByteArray(32, 'k')));
        m_fixture = std::make_unique<StoreFixture>(m_encryption, m_clock);
        m_appState = std::make_unique<AppStateController>(m_clock);
        m_appState->configure(nullptr, m_fixture->store, m_fixture->snippets, nullptr, m_fixture->settings);
        m_pasteboard.copy({});
        m_keySender.setPermitted(true);
        m_actions.calls.clear();
    }

    void cleanup()
    {
        m_appState.reset();
        m_fixture.reset();
    }

    void historyBlock_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("folderSetting");
        QTest::addColumn<QStringList>("history");
        QTest::newRow("empty") << 0 << qint64(50) << QStringList {u"No clipboard history (off)"_s};
        QTest::newRow("flat up to the folder size")
            << 12 << qint64(50)
            << QStringList {u"1 [Ctrl+1]"_s, u"2 [Ctrl+2]"_s, u"3 [Ctrl+3]"_s, u"4 [Ctrl+4]"_s,
                   u"5 [Ctrl+5]"_s, u"6 [Ctrl+6]"_s, u"7 [Ctrl+7]"_s, u"8 [Ctrl+8]"_s, u"9 [Ctrl+9]"_s,
                   u"10"_s, u"11"_s, u"12"_s};
        const QStringList fives {u"1 – 5"_s, u"  1 [Ctrl+1]"_s, u"  2 [Ctrl+2]"_s, u"  3 [Ctrl+3]"_s,
            u"  4 [Ctrl+4]"_s, u"  5 [Ctrl+5]"_s, u"6 – 10"_s, u"  6 [Ctrl+6]"_s, u"  7 [Ctrl+7]"_s,
            u"  8 [Ctrl+8]"_s, u"  9 [Ctrl+9]"_s, u"  10"_s, u"11 – 12"_s, u"  11"_s, u"  12"_s};
        QTest::newRow("shortcuts run across folders") << 12 << qint64(5) << fives;
        QTest::newRow("0 means 5") << 12 << qint64(0) << fives;
        QTest::newRow("3 means 5") << 12 << qint64(3) << fives;
        QTest::newRow("negative means 5") << 12 << qint64(-40) << fives;
        QTest::newRow("huge is flat") << 3 << std::numeric_limits<qint64>::max()
                                      << QStringList {u"1 [Ctrl+1]"_s, u"2 [Ctrl+2]"_s, u"3 [Ctrl+3]"_s};
    }

    void historyBlock()
    {
        QFETCH(int, count);
        QFETCH(qint64, folderSetting);
        QFETCH(QStringList, history);
        setHistory(count);
        m_fixture->settings.setMenuItemsPerFolder(folderSetting);
        const QStringList lines = outline(builder().buildStatusMenu());
        const qsizetype start = lines.indexOf(u"History (off)"_s) + 1;
        QCOMPARE(lines.mid(start, lines.indexOf(u"---"_s, start) - start), history);
    }

    void folderBounds_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("folderSetting");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("one over") << 51 << qint64(50) << QStringList {u"1 – 50"_s, u"51 – 51"_s};
        QTest::newRow("three") << 117 << qint64(50)
                               << QStringList {u"1 – 50"_s, u"51 – 100"_s, u"101 – 117"_s};
        QTest::newRow("six stays six") << 12 << qint64(6) << QStringList {u"1 – 6"_s, u"7 – 12"_s};
    }

    void folderBounds()
    {
        QFETCH(int, count);
        QFETCH(qint64, folderSetting);
        QFETCH(QStringList, folders);
        setHistory(count);
        m_fixture->settings.setMenuItemsPerFolder(folderSetting);
        QStringList titles;
        QStringList listed;
        for (const MenuItem &item : builder().buildStatusMenu()) {
            if (item.symbol == u"folder"_s) {
                titles << item.title;
                for (const MenuItem &entry : item.submenu)
                    listed << entry.title;
            }
        }
        QCOMPARE(titles, folders);
        QCOMPARE(listed.size(), count);
        QCOMPARE(listed.last(), QString::number(count));
    }

    void historyTitle_data()
    {
        QTest::addColumn<QByteArray>("preview");
        QTest::addColumn<bool>("sensitive");
        QTest::addColumn<bool>("pinned");
        QTest::addColumn<int>("contentType");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("symbol");
        const QString family = u"👩‍👩‍👧"_s;
        const int text = int(ContentType::plainText);
        const int image = int(ContentType::image);
        QTest::newRow("sensitive and pinned")
            << QByteArray("secret") << true << true << text << u"•••••••••  (locked)"_s << u"lock.fill"_s;
        QTest::newRow("pinned") << QByteArray("x") << false << true << image << u"x"_s << u"pin.fill"_s;
        QTest::newRow("two lines") << QByteArray("  first\nsecond  ") << false << false << text
                                   << u"first second"_s << u"doc.text"_s;
        QTest::newRow("blanks of every kind") << u"\t\u3000a b\u00a0"_s.toUtf8() << false << false
                                              << int(ContentType::richText) << u"a b"_s << u"doc.richtext"_s;
        QTest::newRow("carriage return stays")
            << QByteArray("a\r\nb\r") << false << false << text << u"a\r b\r"_s << u"doc.text"_s;
        QTest::newRow("28 characters stay") << (family + QString(27, u'a')).toUtf8() << false << false << text
                                            << family + QString(27, u'a') << u"doc.text"_s;
        QTest::newRow("29 are cut") << (family + QString(28, u'a')).toUtf8() << false << false << text
                                    << family + QString(27, u'a') + u'…' << u"doc.text"_s;
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe") << false << false << image << u"Image"_s
                                   << u"photo"_s;
        QTest::newRow("no preview") << QByteArray() << false << false << int(ContentType::fileURL)
                                    << u"Item"_s << u"doc"_s;
    }

    void historyTitle()
    {
        QFETCH(QByteArray, preview);
        QFETCH(bool, sensitive);
        QFETCH(bool, pinned);
        QFETCH(int, contentType);
        QFETCH(QString, title);
        QFETCH(QString, symbol);
        ClipboardEntry entry = textEntry(preview);
        if (preview.isEmpty())
            entry.encryptedPreview.reset();
        entry.isSensitive = sensitive;
        entry.isPinned = pinned;
        entry.contentType = ContentType(contentType);
        const MenuItem item = builder().makeHistoryMenuItem(entry, std::nullopt);
        QCOMPARE(item.title, title);
        QCOMPARE(item.symbol, symbol);
    }

    void lockedVaultShowsPlaceholders()
    {
        const ClipboardEntry entry = textEntry("visible");
        m_key.drop();
        QCOMPARE(builder().makeHistoryMenuItem(entry, 1).title, u"Item"_s);
        QCOMPARE(StatusMenuBuilder::historyTitle(entry, nullptr), u"Item"_s);
    }

    void snippets_data()
    {
        QTest::addColumn<QList<Snippet>>("snippets");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("submenu");
        QTest::newRow("nothing") << QList<Snippet> {} << QStringList {}
                                 << QStringList {
                                        u"No snippets yet (off)"_s, u"---"_s, u"Create a snippet…"_s};
        QTest::newRow("empty folder")
            << QList<Snippet> {} << QStringList {u"Work"_s} << QStringList {u"Work"_s, u"  Empty (off)"_s};
        QTest::newRow("unfiled only, no separator") << QList<Snippet> {snippet(u"b"_s), snippet(u"B"_s),
            snippet(u"a"_s)} << QStringList {} << QStringList {u"B"_s, u"a"_s, u"b"_s};
        QTest::newRow("folders by code point, then unfiled")
            << QList<Snippet> {snippet(u"sig"_s), snippet(u"x"_s, u"b"_s), snippet(u"y"_s, u"\uff5e"_s),
                   snippet(u"z"_s, u"😀"_s)}
            << QStringList {u"Z"_s, u"B"_s}
            << QStringList {u"B"_s, u"  Empty (off)"_s, u"Z"_s, u"  Empty (off)"_s, u"b"_s, u"  x"_s,
                   u"\uff5e"_s, u"  y"_s, u"😀"_s, u"  z"_s, u"---"_s, u"sig"_s};
        QTest::newRow("one folder for equivalent spellings")
            << QList<Snippet> {snippet(u"2"_s, u"Cafe\u0301"_s), snippet(u"1"_s, u"Caf\u00e9"_s)}
            << QStringList {u"Caf\u00e9"_s} << QStringList {u"Cafe\u0301"_s, u"  1"_s, u"  2"_s};
    }

    void snippets()
    {
        QFETCH(QList<Snippet>, snippets);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, submenu);
        m_appState->setSnippets(snippets);
        m_fixture->settings.setSnippetFolders(folders);
        QCOMPARE(outline(builder().buildSnippetsSubmenu().submenu), submenu);
    }

    void equalTitlesKeepTheirOrder()
    {
        const QList<Snippet> twins {snippet(u"Same"_s), snippet(u"Same"_s), snippet(u"Same"_s)};
        m_appState->setSnippets(twins);
        QList<QUuid> shown;
        for (const MenuItem &item : builder().buildSnippetsSubmenu().submenu)
            shown << item.payload.value<Snippet>().id;
        QCOMPARE(shown, (QList<QUuid> {twins[0].id, twins[1].id, twins[2].id}));
    }

    void transforms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("imageType");
        QTest::addColumn<QStringList>("submenu");
        const QStringList placeholder {u"Copy some text or an image first (off)"_s};
        const QStringList fromImage {u"Paste Text from Image"_s};
        QTest::newRow("nothing") << QByteArray() << QString() << placeholder;
        QTest::newRow("too long for transforms, beside an image")
            << QByteArray(256'001, 'a') << PasteboardType::png << placeholder;
        QTest::newRow("PNG only") << QByteArray() << PasteboardType::png << fromImage;
        QTest::newRow("TIFF beside empty text") << QByteArray("") << PasteboardType::tiff << fromImage;
        QTest::newRow("runs apart") << QByteArray(R"({"a": 1})") << PasteboardType::png
                                    << QStringList {u"Pretty-print JSON"_s, u"Minify JSON"_s, u"---"_s,
                                           u"Base64 Encode"_s, u"URL Encode"_s, u"SHA-256 Hash"_s};
    }

    void transforms()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, imageType);
        QFETCH(QStringList, submenu);
        PasteboardItem item;
        if (!text.isNull())
            item.setData(PasteboardType::string, text);
        if (!imageType.isEmpty())
            item.setData(imageType, "not decoded");
        m_pasteboard.copy(item);
        QCOMPARE(outline(builder().buildTransformSubmenu().submenu), submenu);
    }

    void captureItems_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("running") << false
                                 << QStringList {u"Pause Capture"_s, u"  For 5 Minutes"_s,
                                        u"  For 15 Minutes"_s, u"  For 1 Hour"_s, u"  ---"_s,
                                        u"  Until I Resume"_s, u"Private Session (Memory Only)"_s};
        QTest::newRow("paused") << true
                                << QStringList {u"Capture paused (off)"_s, u"Resume Capture"_s,
                                       u"Private Session (Memory Only)"_s};
    }

    void captureItems()
    {
        QFETCH(bool, paused);
        QFETCH(QStringList, items);
        m_appState->setPaused(paused);
        m_appState->setSecureModeActive(true);
        MenuModel menu;
        builder().buildCaptureSubmenu(menu);
        QCOMPARE(outline(menu), items);
        QCOMPARE(menu.last().checked, std::optional(true));
    }

    void permissionRow_data()
    {
        QTest::addColumn<bool>("autoPaste");
        QTest::addColumn<bool>("permitted");
        QTest::addColumn<bool>("shown");
        QTest::newRow("needed") << true << false << true;
        QTest::newRow("granted") << true << true << false;
        QTest::newRow("auto-paste off") << false << false << false;
    }

    void permissionRow()
    {
        QFETCH(bool, autoPaste);
        QFETCH(bool, permitted);
        QFETCH(bool, shown);
        m_fixture->settings.setAutoPaste(autoPaste);
        m_keySender.setPermitted(permitted);
        const MenuModel menu = builder().buildStatusMenu();
        QCOMPARE(menu.first().title == u"Auto-paste needs permission — Turn On…"_s, shown);
        QCOMPARE(menu.at(shown ? 2 : 0).title, u"History"_s);
    }

    // Each item hands its own payload to its own action.
    void itemsActWithTheirPayload()
    {
        const ClipboardEntry entry = textEntry("first");
        m_appState->setClipboardEntries({entry});
        m_appState->setSnippets({snippet(u"Sig"_s)});
        m_pasteboard.copy(PasteboardItem::fromString(u"  padded"_s));
        m_fixture->settings.setAutoPaste(true);
        m_keySender.setPermitted(false);
        const MenuModel menu = builder().buildStatusMenu();
        for (const QString &title :
            {u"Auto-paste needs permission — Turn On…"_s, u"first"_s, u"Sig"_s, u"Trim Whitespace"_s,
                u"For 1 Hour"_s, u"Until I Resume"_s, u"Private Session (Memory Only)"_s, u"Clear History…"_s,
                u"Clear Everything (Panic)"_s, u"Edit Snippets…"_s, u"Settings…"_s,
                u"Search & Manage History…"_s, u"Lock"_s, u"Quit Vantorell"_s}) {
            const MenuItem *item = find(menu, title);
            QVERIFY2(item && item->action, qPrintable(title));
            item->action(item->payload);
        }
        QCOMPARE(m_actions.calls,
            (QStringList {u"accessibility"_s, u"history "_s + entry.id.toString(), u"snippet Sig"_s,
                u"transform trim"_s, u"pause 60"_s, u"pause 0"_s, u"private"_s, u"clear"_s, u"panic"_s,
                u"snippets"_s, u"settings"_s, u"panel"_s, u"lock"_s, u"quit"_s}));
    }

    void everySymbolHasAnImage()
    {
        ClipboardEntry sensitive = textEntry("s");
        sensitive.isSensitive = true;
        QList<ClipboardEntry> entries {sensitive, textEntry("p")};
        entries.last().isPinned = true;
        for (const auto &[type, raw] : RawValueTable<ContentType>::entries) {
            entries << textEntry("e");
            entries.last().contentType = type;
        }
        m_appState->setClipboardEntries(entries);
        m_appState->setSnippets({snippet(u"s"_s, u"f"_s)});
        m_fixture->settings.setMenuItemsPerFolder(5);
        m_keySender.setPermitted(false);
        QSet<QString> symbols;
        const auto collect = [&symbols](const MenuModel &menu, const auto &self) -> void {
            for (const MenuItem &item : menu) {
                if (!item.symbol.isEmpty())
                    symbols.insert(item.symbol);
                self(item.submenu, self);
            }
        };
        PasteboardItem image;
        image.setData(PasteboardType::png, "png");
        const QList<PasteboardItem> clipboards {PasteboardItem::fromString(uR"({"a": "b"})"_s),
            PasteboardItem::fromString(u"eyJhIjoxfQ.eyJiIjoyfQ.c"_s),
            PasteboardItem::fromString(u"aGVsbG8gd29ybGQ="_s),
            PasteboardItem::fromString(u"a%20b \nb\nb\n"_s), image};
        for (const PasteboardItem &clipboard : clipboards) {
            m_pasteboard.copy(clipboard);
            collect(builder().buildStatusMenu(), collect);
        }
        m_appState->setPaused(true);
        collect(builder().buildStatusMenu(), collect);
        // Twelve transforms, six kinds of entry, and the rest.
        QCOMPARE(symbols.size(), 12 + 6 + 9);
        for (const QString &symbol : std::as_const(symbols)) {
            QVERIFY2(!Symbols::resourcePath(symbol).isEmpty(), qPrintable(symbol));
            QVERIFY2(!MenuRenderer::icon(symbol, true).isNull(), qPrintable(symbol));
        }
    }
};

QTEST_MAIN(StatusMenuTest)
#include "tst_statusmenu.moc"
