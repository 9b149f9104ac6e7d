// Writes the status menu and its submenus, over sample entries sealed under
// a throw-away key (and over a history database that did not open), and the
// panel's screens, as PNG files in light and dark appearance.

#include "PanelPages.h"
#include "RowPages.h"
#include "SampleDesktop.h"

#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "crypto/SecureRandom.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "ui/design/SceneGraphBackend.h"
#include "ui/design/gallery/Appearance.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/MenuRenderer.h"
#include "ui/menubar/StatusMenuBuilder.h"
#include "ui/menubar/TrayIconImage.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Sample {
    const char *preview;
    ContentType type = ContentType::plainText;
    bool pinned = false;
    bool starred = false;
    bool sensitive = false;
};

QList<ClipboardEntry> sampleEntries(const EncryptionService &encryption)
{
    const QList<Sample> samples {
        {"git push origin main", ContentType::plainText, true},
        {"Meeting notes: roadmap & budget review", ContentType::richText, false, true},
        {"sk_live_51Hx", ContentType::plainText, false, false, true},
        {"  first line\nsecond line  "},
        {"Screenshot 2024-05-02", ContentType::image},
        {"/home/sam/Documents/report.pdf", ContentType::fileURL},
        {"https://example.org/articles/how-to-keep-a-clipboard-history"},
        {"Family 👩‍👩‍👧 photo caption"},
        {"SELECT id FROM users WHERE name = 'a'"},
        {"Tab\tseparated\tcolumns"},
        {"+1 555 0100"},
    };
    QList<ClipboardEntry> entries;
    for (const Sample &sample : samples) {
        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.contentType = sample.type;
        entry.isPinned = sample.pinned;
        entry.isFavorite = sample.starred;
        entry.isSensitive = sample.sensitive;
        entry.encryptedPreview = encryption.encrypt(QByteArray(sample.preview)).value();
        entries.append(entry);
    }
    entries.append(ClipboardEntry {.id = QUuid::createUuid(), .contentType = ContentType::image});
    return entries;
}

QList<Snippet> sampleSnippets()
{
    QList<Snippet> snippets;
    const QList<std::pair<QString, std::optional<QString>>> samples {{u"Signature"_s, std::nullopt},
        {u"Address"_s, std::nullopt}, {u"Thanks & regards"_s, u"Email"_s}, {u"Follow-up"_s, u"Email"_s},
        {u"Bug report"_s, u"Work"_s}};
    for (const auto &[title, group] : samples)
        snippets.append(Snippet {.id = QUuid::createUuid(), .title = title, .group = group});
    return snippets;
}

const MenuItem *submenuNamed(const MenuModel &menu, const QString &title)
{
    for (const MenuItem &item : menu) {
        if (item.title == title)
            return &item;
    }
    return nullptr;
}

// The tray icon's symbols as a dark and a light tray panel show them.
bool saveTrayIcons(const QDir &folder, const QString &appearance)
{
    const QStringList symbols {u"doc.on.clipboard"_s, u"lock.fill"_s, u"pause.circle"_s, u"eye.slash"_s};
    const int side = TrayIconImage::pixels + 8;
    QImage strip(side * int(symbols.size()), side * 2, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&strip);
    painter.fillRect(0, 0, strip.width(), side, QColor(0x24, 0x24, 0x24));
    painter.fillRect(0, side, strip.width(), side, QColor(0xf4, 0xf4, 0xf4));
    for (qsizetype index = 0; index < symbols.size(); ++index) {
        const QImage icon = TrayIconImage::make(symbols[index], QApplication::palette());
        for (const int top : {4, side + 4})
            painter.drawImage(int(index) * side + 4, top, icon);
    }
    painter.end();
    const QString file = folder.filePath(u"tray-icon-%1.png"_s.arg(appearance));
    if (strip.save(file))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

bool save(const MenuModel &model, const QDir &folder, const QString &name, const QString &appearance)
{
    const std::unique_ptr<QMenu> menu = MenuRenderer::render(model, {qApp, {}});
    menu->adjustSize();
    const QString file = folder.filePath(u"%1-%2.png"_s.arg(name, appearance));
    if (menu->grab().save(file))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    SceneGraphBackend::choose();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"The status menu over sample entries, and the panel."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"folder"_s, u"Write <menu>-light.png and -dark.png here."_s);
    parser.process(app);
    if (parser.positionalArguments().isEmpty())
        parser.showHelp(2);
    const QDir folder(parser.positionalArguments().constFirst());
    QTemporaryDir settingsFolder;
    if (!folder.mkpath(u"."_s) || !settingsFolder.isValid()) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    MasterKeyHolder key;
    key.set(SecureRandom::bytes(32).value());
    EncryptionService encryption(key);
    SecureStorageManager store(encryption);
    SnippetManager snippets(store);
    SampleDesktop desktop;
    SettingsManager settings(
        settingsFolder.filePath(u"Vantorell.conf"_s), desktop.loginItem, desktop.dockPresence);
    settings.setSnippetFolders({u"Templates"_s});
    AppStateController appState;
    appState.configure(nullptr, store, snippets, nullptr, settings);
    appState.setClipboardEntries(sampleEntries(encryption));
    appState.setSnippets(sampleSnippets());
    desktop.pasteboard.write(PasteboardItem::fromString(u"{\"name\": \"Vantorell\", \"tags\": [1, 2]}"_s));
    const StatusMenuBuilder builder(
        appState, settings, desktop.pasteboard, desktop.keySender, desktop.actions);

    for (const auto &[appearance, palette] :
        {std::pair {u"light"_s, Appearance::light()}, std::pair {u"dark"_s, Appearance::dark()}}) {
        QApplication::setPalette(palette);
        const MenuModel menu = builder.buildStatusMenu();
        appState.setSecureModeActive(true);
        const MenuModel duringPrivateSession = builder.buildStatusMenu();
        appState.setSecureModeActive(false);
        const QList<ClipboardEntry> history = appState.clipboardEntries();
        appState.setClipboardEntries({});
        appState.setDatabaseError(
            u"Couldn't open /home/sam/.local/share/Vantorell/vantorell.db: unable to open database file"_s);
        const MenuModel notSaved = builder.buildStatusMenu();
        appState.setDatabaseError({});
        appState.setClipboardEntries(history);
        appState.setCopyRefusal(u"Database write failed: database or disk is full"_s);
        const MenuModel copyRefused = builder.buildStatusMenu();
        appState.setCopyRefusal({});
        MainPopoverModel panel(appState, desktop.keySender);
        const bool written = save(menu, folder, u"status-menu"_s, appearance)
            && save(duringPrivateSession, folder, u"status-menu-private"_s, appearance)
            && save(notSaved, folder, u"status-menu-not-saved"_s, appearance)
            && save(copyRefused, folder, u"status-menu-copy-refused"_s, appearance)
            && save(panel.moreMenu(), folder, u"more-menu"_s, appearance) && saveTrayIcons(folder, appearance)
            && save(submenuNamed(menu, u"Snippets"_s)->submenu, folder, u"snippets"_s, appearance)
            && save(
                submenuNamed(menu, u"Transform Clipboard"_s)->submenu, folder, u"transforms"_s, appearance)
            && save(submenuNamed(menu, u"Pause Capture"_s)->submenu, folder, u"pause"_s, appearance)
            && PanelPages(folder).write(appearance) && RowPages(folder).write(appearance);
        if (!written)
            return 1;
    }
    return 0;
}
