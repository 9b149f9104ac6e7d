#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "platform/PasteboardType.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeKeySender.h"
#include "support/FakeLoginItem.h"
#include "support/FakePasteboard.h"
#include "ui/design/Symbols.h"
#include "ui/menubar/StatusMenuActions.h"
#include "ui/menubar/StatusMenuBuilder.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Records each action as its name and payload.
class RecordingActions final : public StatusMenuActions {
public:
    QStringList calls;
    void record(const QString &name, const QString &payload = {})
    {
        calls << (name + u' ' + payload).trimmed();
    }

    void openAccessibilityFromMenu() override { record(u"accessibility"_s); }
    void pasteHistoryItem(const QVariant &payload) override { record(u"history"_s, payload.toString()); }
    void pasteSnippetItem(const QVariant &payload) override
    {
        record(u"snippet"_s, payload.value<Snippet>().title);
    }
    void openSnippetManagerWindow() override { record(u"snippets"_s); }
    void transformClipboard(const QVariant &payload) override { record(u"transform"_s, payload.toString()); }
    void ocrClipboardImage() override { record(u"ocr"_s); }
    void pauseCapture(const QVariant &payload) override { record(u"pause"_s, payload.toString()); }
    void resumeCapture() override { record(u"resume"_s); }
    void toggleSecureMode() override { record(u"private"_s); }
    void clearHistoryFromMenu() override { record(u"clear"_s); }
    void panicClearFromMenu() override { record(u"panic"_s); }
    void openSettingsFromMenu() override { record(u"settings"_s); }
    void openPanelFromMenu() override { record(u"panel"_s); }
    void lockApp() override { record(u"lock"_s); }
    void quitApp() override { record(u"quit"_s); }
};

// One line per item: its title, "(off)" when disabled, its shortcut, and its
// submenu indented; "---" for a separator.
QStringList outline(const MenuModel &model, const QString &indent = {})
{
    QStringList lines;
    for (const MenuItem &item : model) {
        QString line = indent + (item.isSeparator ? u"---"_s : item.title);
        if (!item.enabled)
            line += u" (off)"_s;
        if (!item.shortcut.isEmpty())
            line += u" ["_s + item.shortcut.toString() + u']';
        lines << line << outline(item.submenu, indent + u"  "_s);
    }
    return lines;
}

const MenuItem *find(const MenuModel &model, const QString &title)
{
    for (const MenuItem &item : model) {
        const MenuItem *found = item.title == title ? &item : find(item.submenu, title);
        if (found)
            return found;
    }
    return nullptr;
}

Snippet snippet(const QString &title, std::optional<QString> group = std::nullopt)
{
    return {.id = QUuid::createUuid(), .title = title, .group = std::move(group)};
}

} // namespace

class StatusMenuTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    FakeLoginItem m_loginItem;
    FakeDockPresence m_dock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    SecureStorageManager m_store {m_encryption};
    SnippetManager m_snippets {m_store};
    std::unique_ptr<SettingsManager> m_settings;
    std::unique_ptr<AppStateController> m_state;
    FakePasteboard m_pasteboard;
    FakeKeySender m_keySender;
    RecordingActions m_actions;

    MenuModel build() { return builder().buildStatusMenu(); }
    StatusMenuBuilder builder() { return {*m_state, *m_settings, m_pasteboard, m_keySender, m_actions}; }

    ClipboardEntry entry(const QByteArray &preview, ContentType type = ContentType::plainText)
    {
        return {.id = QUuid::createUuid(),
            .contentType = type,
            .encryptedPreview = m_encryption.encrypt(preview).value()};
    }

private slots:
    void init()
    {
        m_key.set(SecureBytes(QByteArray(32, 'k')));
        m_state.reset();
        m_home = std::make_unique<QTemporaryDir>();
        m_settings
            = std::make_unique<SettingsManager>(m_home->filePath(u"Vantorell.conf"_s), m_loginItem, m_dock);
        m_state = std::make_unique<AppStateController>();
        m_state->configure(nullptr, m_store, m_snippets, nullptr, *m_settings);
        m_pasteboard.copy({});
        m_keySender.setPermitted(true);
        m_actions.calls.clear();
    }

    void historyBlock_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<qint64>("folderSetting");
        QTest::addColumn<QStringList>("folders");
        const QStringList fives {u"1 – 5"_s, u"6 – 10"_s, u"11 – 12"_s};
        QTest::newRow("empty") << 0 << qint64(50) << QStringList {};
        QTest::newRow("flat up to the folder size") << 12 << qint64(50) << QStringList {};
        QTest::newRow("shortcuts run across folders") << 12 << qint64(5) << fives;
        QTest::newRow("0 means 5") << 12 << qint64(0) << fives;
        QTest::newRow("3 means 5") << 12 << qint64(3) << fives;
        QTest::newRow("negative means 5") << 12 << qint64(-40) << fives;
        QTest::newRow("6 stays 6") << 12 << qint64(6) << QStringList {u"1 – 6"_s, u"7 – 12"_s};
        QTest::newRow("one over") << 51 << qint64(50) << QStringList {u"1 – 50"_s, u"51 – 51"_s};
        QTest::newRow("three") << 117 << qint64(50)
                               << QStringList {u"1 – 50"_s, u"51 – 100"_s, u"101 – 117"_s};
        QTest::newRow("huge is flat") << 3 << std::numeric_limits<qint64>::max() << QStringList {};
    }

    void historyBlock()
    {
        QFETCH(int, count);
        QFETCH(qint64, folderSetting);
        QFETCH(QStringList, folders);
        QList<ClipboardEntry> entries;
        for (int i = 1; i <= count; ++i)
            entries << entry(QByteArray::number(i));
        m_state->setClipboardEntries(entries);
        m_settings->setMenuItemsPerFolder(folderSetting);

        const MenuModel menu = build();
        const auto end = std::ranges::find_if(menu, &MenuItem::isSeparator);
        QStringList shownFolders;
        QStringList listed;
        for (const MenuItem &item : MenuModel(menu.begin() + 1, end)) {
            if (!item.submenu.isEmpty())
                shownFolders << item.title;
            listed << outline(item.submenu.isEmpty() ? MenuModel {item} : item.submenu);
        }
        QCOMPARE(shownFolders, folders);
        QStringList expected;
        for (int i = 1; i <= count; ++i)
            expected << QString::number(i) + (i <= 9 ? u" [Ctrl+%1]"_s.arg(i) : QString());
        QCOMPARE(listed, count == 0 ? QStringList {u"No clipboard history (off)"_s} : expected);
    }

    void historyTitle_data()
    {
        QTest::addColumn<QByteArray>("preview");
        QTest::addColumn<int>("flags");
        QTest::addColumn<ContentType>("type");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("symbol");
        const QString family = u"👩‍👩‍👧"_s;
        const int sensitive = 1;
        const int pinned = 2;
        QTest::newRow("sensitive and pinned")
            << QByteArray("secret") << (sensitive | pinned) << ContentType::plainText
            << u"•••••••••  (locked)"_s << u"lock.fill"_s;
        QTest::newRow("pinned, two lines") << QByteArray(" \u3000first\nsecond\t ") << pinned
                                           << ContentType::image << u"first second"_s << u"pin.fill"_s;
        QTest::newRow("carriage returns stay")
            << QByteArray("a\r\nb\r") << 0 << ContentType::richText << u"a\r b\r"_s << u"doc.richtext"_s;
        QTest::newRow("28 characters stay")
            << (family + QString(27, u'a')).toUtf8() << 0 << ContentType::plainText
            << family + QString(27, u'a') << u"doc.text"_s;
        QTest::newRow("29 are cut") << (family + QString(28, u'a')).toUtf8() << 0 << ContentType::plainText
                                    << family + QString(27, u'a') + u'…' << u"doc.text"_s;
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe") << 0 << ContentType::image << u"Image"_s
                                   << u"photo"_s;
        QTest::newRow("no preview") << QByteArray() << 0 << ContentType::fileURL << u"Item"_s << u"doc"_s;
    }

    void historyTitle()
    {
        QFETCH(QByteArray, preview);
        QFETCH(int, flags);
        QFETCH(ContentType, type);
        QFETCH(QString, title);
        QFETCH(QString, symbol);
        ClipboardEntry shown = entry(preview, type);
        if (preview.isEmpty())
            shown.encryptedPreview.reset();
        shown.isSensitive = flags & 1;
        shown.isPinned = flags & 2;
        const MenuItem item = builder().makeHistoryMenuItem(shown, std::nullopt);
        QCOMPARE(item.title, title);
        QCOMPARE(item.symbol, symbol);
    }

    void snippets_data()
    {
        QTest::addColumn<QList<Snippet>>("snippets");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("submenu");
        QTest::newRow("nothing") << QList<Snippet> {} << QStringList {}
                                 << QStringList {
                                        u"No snippets yet (off)"_s, u"---"_s, u"Create a snippet…"_s};
        QTest::newRow("unfiled only, no separator") << QList<Snippet> {snippet(u"b"_s), snippet(u"B"_s),
            snippet(u"a"_s)} << QStringList {} << QStringList {u"B"_s, u"a"_s, u"b"_s};
        QTest::newRow("folders by code point, empty ones too, then unfiled")
            << QList<Snippet> {snippet(u"sig"_s), snippet(u"x"_s, u"b"_s), snippet(u"y"_s, u"\uff5e"_s),
                   snippet(u"z"_s, u"😀"_s)}
            << QStringList {u"Z"_s, u"B"_s}
            << QStringList {u"B"_s, u"  Empty (off)"_s, u"Z"_s, u"  Empty (off)"_s, u"b"_s, u"  x"_s,
                   u"\uff5e"_s, u"  y"_s, u"😀"_s, u"  z"_s, u"---"_s, u"sig"_s};
        // Equivalent titles compare equal and keep their order.
        QTest::newRow("equivalent spellings")
            << QList<Snippet> {snippet(u"Caf\u00e9"_s), snippet(u"Cafe\u0301"_s), snippet(u"Cafa"_s)}
            << QStringList {} << QStringList {u"Cafa"_s, u"Caf\u00e9"_s, u"Cafe\u0301"_s};
        QTest::newRow("one folder for equivalent spellings")
            << QList<Snippet> {snippet(u"2"_s, u"Cafe\u0301"_s), snippet(u"1"_s, u"Caf\u00e9"_s)}
            << QStringList {u"Caf\u00e9"_s} << QStringList {u"Cafe\u0301"_s, u"  1"_s, u"  2"_s};
    }

    void snippets()
    {
        QFETCH(QList<Snippet>, snippets);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, submenu);
        m_state->setSnippets(snippets);
        m_settings->setSnippetFolders(folders);
        QCOMPARE(outline(builder().buildSnippetsSubmenu().submenu), submenu);
    }

    void transforms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("imageType");
        QTest::addColumn<QStringList>("submenu");
        const QStringList placeholder {u"Copy some text or an image first (off)"_s};
        QTest::newRow("nothing") << QByteArray() << QString() << placeholder;
        QTest::newRow("too long, beside an image")
            << QByteArray(256'001, 'a') << PasteboardType::png << placeholder;
        QTest::newRow("PNG only") << QByteArray() << PasteboardType::png
                                  << QStringList {u"Paste Text from Image"_s};
        QTest::newRow("TIFF, empty text")
            << QByteArray("") << PasteboardType::tiff << QStringList {u"Paste Text from Image"_s};
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
            item.setData(imageType, "never decoded");
        m_pasteboard.copy(item);
        QCOMPARE(outline(builder().buildTransformSubmenu().submenu), submenu);
    }

    void captureAndPermission_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("autoPaste");
        QTest::addColumn<bool>("permitted");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("capture");
        const QStringList pause {u"Pause Capture"_s, u"  For 5 Minutes"_s, u"  For 15 Minutes"_s,
            u"  For 1 Hour"_s, u"  ---"_s, u"  Until I Resume"_s};
        QTest::newRow("paused") << true << true << true << u"History"_s
                                << QStringList {u"Capture paused (off)"_s, u"Resume Capture"_s};
        QTest::newRow("needs permission")
            << false << true << false << u"Auto-paste needs permission — Turn On…"_s << pause;
        QTest::newRow("auto-paste off") << false << false << false << u"History"_s << pause;
    }

    void captureAndPermission()
    {
        QFETCH(bool, paused);
        QFETCH(bool, autoPaste);
        QFETCH(bool, permitted);
        QFETCH(QString, first);
        QFETCH(QStringList, capture);
        m_state->setPaused(paused);
        m_settings->setAutoPaste(autoPaste);
        m_keySender.setPermitted(permitted);
        QCOMPARE(build().first().title, first);
        MenuModel items;
        builder().buildCaptureSubmenu(items);
        QCOMPARE(outline(items), capture + QStringList {u"Private Session (Memory Only)"_s});
        QCOMPARE(items.last().checked, std::optional(false));
    }

    // Each item hands its own payload to its own action.
    void itemsActWithTheirPayload()
    {
        const ClipboardEntry first = entry("first");
        m_state->setClipboardEntries({first});
        m_state->setSnippets({snippet(u"Sig"_s)});
        m_pasteboard.copy(PasteboardItem::fromString(u"  padded"_s));
        m_keySender.setPermitted(false);
        const MenuModel menu = build();
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
            (QStringList {u"accessibility"_s, u"history "_s + first.id.toString(), u"snippet Sig"_s,
                u"transform trim"_s, u"pause 60"_s, u"pause 0"_s, u"private"_s, u"clear"_s, u"panic"_s,
                u"snippets"_s, u"settings"_s, u"panel"_s, u"lock"_s, u"quit"_s}));
    }

    void everySymbolHasAnImage()
    {
        QList<ClipboardEntry> entries {entry("s"), entry("p")};
        entries[0].isSensitive = true;
        entries[1].isPinned = true;
        for (const auto &[type, raw] : RawValueTable<ContentType>::entries)
            entries << entry("e", type);
        m_state->setClipboardEntries(entries);
        m_state->setSnippets({snippet(u"s"_s, u"f"_s)});
        m_settings->setMenuItemsPerFolder(5);
        m_keySender.setPermitted(false);
        QSet<QString> symbols;
        const auto collect = [&symbols](const MenuModel &menu, const auto &self) -> void {
            for (const MenuItem &item : menu) {
                symbols.insert(item.symbol);
                self(item.submenu, self);
            }
        };
        // Between them these offer every transform, the picture's text, and
        // both capture states.
        for (const QString &text : {uR"({"a": "b"})"_s, u"eyJhIjoxfQ.eyJiIjoyfQ.c"_s, u"aGVsbG8gd29ybGQ="_s,
                 u"a%20b \nb\nb\n"_s, QString()}) {
            m_pasteboard.copy(
                text.isNull() ? PasteboardItem::fromPng("png") : PasteboardItem::fromString(text));
            m_state->setPaused(text.isNull());
            collect(build(), collect);
        }
        symbols.remove(QString());
        QCOMPARE(symbols.size(), 12 + 6 + 9);
        for (const QString &symbol : std::as_const(symbols))
            QVERIFY2(!Symbols::resourcePath(symbol).isEmpty(), qPrintable(symbol));
    }
};

QTEST_MAIN(StatusMenuTest)
#include "tst_statusmenu.moc"
