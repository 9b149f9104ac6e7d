#include "ui/menubar/StatusMenuBuilder.h"

#include "app/AppStateController.h"
#include "base/Utf8Text.h"
#include "crypto/EncryptionService.h"
#include "platform/KeySender.h"
#include "platform/Pasteboard.h"
#include "platform/PasteboardType.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "text/Blanks.h"
#include "text/CanonicalText.h"
#include "text/Graphemes.h"
#include "tools/TextTransform.h"
#include "ui/menubar/StatusMenuActions.h"
#include "ui/menubar/TransformMenu.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 smallestFolder = 5;

MenuItem item(const QString &title, const QString &symbol = {}, MenuItem::Action action = {})
{
    MenuItem made;
    made.title = title;
    made.symbol = symbol;
    made.action = std::move(action);
    return made;
}

MenuItem::Action run(void (StatusMenuActions::*method)(), StatusMenuActions &actions)
{
    return [method, &actions](const QVariant &) { (actions.*method)(); };
}

MenuItem::Action run(void (StatusMenuActions::*method)(const QVariant &), StatusMenuActions &actions)
{
    return [method, &actions](const QVariant &payload) { (actions.*method)(payload); };
}

QString symbolFor(const ClipboardEntry &entry)
{
    if (entry.isSensitive)
        return u"lock.fill"_s;
    if (entry.isPinned)
        return u"pin.fill"_s;
    switch (entry.contentType) {
    case ContentType::plainText:
        return u"doc.text"_s;
    case ContentType::richText:
        return u"doc.richtext"_s;
    case ContentType::image:
        return u"photo"_s;
    case ContentType::fileURL:
        return u"doc"_s;
    }
    return {};
}

void sortByTitle(QList<Snippet> &snippets)
{
    QList<std::pair<QString, Snippet>> keyed;
    keyed.reserve(snippets.size());
    for (const Snippet &snippet : snippets)
        keyed.append({CanonicalText::composed(snippet.title), snippet});
    std::ranges::stable_sort(
        keyed, [](const auto &a, const auto &b) { return CanonicalText::compare(a.first, b.first) < 0; });
    snippets.clear();
    for (auto &[key, snippet] : keyed)
        snippets.append(std::move(snippet));
}

} // namespace

StatusMenuBuilder::StatusMenuBuilder(const AppStateController &appState, const SettingsManager &settings,
    Pasteboard &pasteboard, const KeySender &keySender, StatusMenuActions &actions)
    : m_appState(appState), m_settings(settings), m_pasteboard(pasteboard), m_keySender(keySender),
      m_actions(actions)
{
}

MenuModel StatusMenuBuilder::buildStatusMenu() const
{
    MenuModel menu;
    if (m_settings.autoPaste() && !m_keySender.isPermitted()) {
        menu.append(item(u"Auto-paste needs permission — Turn On…"_s, u"exclamationmark.triangle.fill"_s,
            run(&StatusMenuActions::openAccessibilityFromMenu, m_actions)));
        menu.append(MenuItem::separator());
    }
    menu.append(MenuItem::placeholder(u"History"_s));
    appendHistory(menu);
    menu.append(MenuItem::separator());
    menu.append(buildSnippetsSubmenu());
    menu.append(buildTransformSubmenu());
    menu.append(MenuItem::separator());
    buildCaptureSubmenu(menu);
    menu.append(MenuItem::separator());
    menu.append(item(u"Clear History…"_s, {}, run(&StatusMenuActions::clearHistoryFromMenu, m_actions)));
    menu.append(
        item(u"Clear Everything (Panic)"_s, {}, run(&StatusMenuActions::panicClearFromMenu, m_actions)));
    menu.append(item(u"Edit Snippets…"_s, {}, run(&StatusMenuActions::openSnippetManagerWindow, m_actions)));
    MenuItem settings = item(u"Settings…"_s, {}, run(&StatusMenuActions::openSettingsFromMenu, m_actions));
    settings.shortcut = QKeySequence(Qt::CTRL | Qt::Key_Comma);
    menu.append(settings);
    menu.append(MenuItem::separator());
    MenuItem panel
        = item(u"Search & Manage History…"_s, {}, run(&StatusMenuActions::openPanelFromMenu, m_actions));
    panel.shortcut = QKeySequence(Qt::CTRL | Qt::Key_F);
    menu.append(panel);
    menu.append(item(u"Lock"_s, {}, run(&StatusMenuActions::lockApp, m_actions)));
    menu.append(MenuItem::separator());
    MenuItem quit = item(u"Quit Vantorell"_s, {}, run(&StatusMenuActions::quitApp, m_actions));
    quit.shortcut = QKeySequence(Qt::CTRL | Qt::Key_Q);
    menu.append(quit);
    return menu;
}

void StatusMenuBuilder::appendHistory(MenuModel &menu) const
{
    const QList<ClipboardEntry> entries = m_appState.orderedEntries();
    const qsizetype count = entries.size();
    // A database that did not open explains an empty history first; a
    // refused copy is told above the items it is missing from.
    const QString unsaved = count == 0 && !m_appState.databaseError().isEmpty() ? m_appState.databaseError()
                                                                                : m_appState.copyRefusal();
    if (!unsaved.isEmpty()) {
        MenuItem title = MenuItem::placeholder(u"History can't be saved"_s);
        title.symbol = u"exclamationmark.triangle.fill"_s;
        menu.append(title);
        menu.append(MenuItem::placeholder(unsaved));
    }
    if (count == 0) {
        // Not "no history": no copy was kept.
        if (unsaved.isEmpty())
            menu.append(MenuItem::placeholder(u"No clipboard history"_s));
        return;
    }
    // Smaller folders would bury the history; a damaged setting may hold
    // any number.
    const qint64 setting = m_settings.menuItemsPerFolder();
    const qint64 folderSize = setting > smallestFolder ? setting : smallestFolder;
    const auto historyItem = [this, &entries](qsizetype position) {
        const std::optional<int> shortcut = position < 9 ? std::optional(int(position) + 1) : std::nullopt;
        return makeHistoryMenuItem(entries.at(position), shortcut);
    };
    if (count <= folderSize) {
        for (qsizetype position = 0; position < count; ++position)
            menu.append(historyItem(position));
        return;
    }
    for (qsizetype start = 0; start < count; start += folderSize) {
        const qsizetype end = std::min<qint64>(start + folderSize, count);
        MenuItem folder = item(u"%1 – %2"_s.arg(start + 1).arg(end), u"folder"_s);
        folder.submenu.reserve(end - start);
        for (qsizetype position = start; position < end; ++position)
            folder.submenu.append(historyItem(position));
        menu.append(std::move(folder));
    }
}

QString StatusMenuBuilder::historyTitle(const ClipboardEntry &entry, const EncryptionService *encryption)
{
    if (entry.isSensitive)
        return u"•••••••••  (locked)"_s;
    std::optional<QString> preview;
    if (encryption && entry.encryptedPreview) {
        if (const std::expected<QByteArray, SealingError> opened
            = encryption->decrypt(*entry.encryptedPreview))
            preview = Utf8Text::decode(*opened);
    }
    if (!preview)
        return entry.contentType == ContentType::image ? u"Image"_s : u"Item"_s;
    preview->replace(u'\n', u' ');
    const QStringView trimmed = Blanks::trimmed(*preview);
    const QStringView cut = Graphemes::prefix(trimmed, menuTitleMaxChars);
    if (cut.size() < trimmed.size())
        return cut.toString() + u'…';
    return trimmed.toString();
}

MenuItem StatusMenuBuilder::makeHistoryMenuItem(
    const ClipboardEntry &entry, std::optional<int> shortcut) const
{
    const SecureStorageManager *store = m_appState.storageManager();
    MenuItem made = item(historyTitle(entry, store ? &store->encryptionService() : nullptr), symbolFor(entry),
        run(&StatusMenuActions::pasteHistoryItem, m_actions));
    made.smallSymbol = true;
    // The id, not the entry: the history may change while the menu is open,
    // and a deleted or expired entry must not come back by a late choice.
    made.payload = QVariant::fromValue(entry.id);
    if (shortcut)
        made.shortcut = QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + *shortcut));
    return made;
}

MenuItem StatusMenuBuilder::buildSnippetsSubmenu() const
{
    MenuItem snippetsItem = item(u"Snippets"_s, u"text.badge.star"_s);
    MenuModel &submenu = snippetsItem.submenu;
    const QList<Snippet> snippets = m_appState.snippets();

    // Each folder once, under the first spelling met.
    QHash<QString, QString> folderNames;
    const auto addFolder = [&folderNames](const QString &name) {
        const QString key = CanonicalText::composed(name);
        if (!folderNames.contains(key))
            folderNames.insert(key, name);
    };
    for (const Snippet &snippet : snippets) {
        if (snippet.group)
            addFolder(*snippet.group);
    }
    for (const QString &name : m_settings.snippetFolders())
        addFolder(name);

    if (folderNames.isEmpty() && snippets.isEmpty()) {
        submenu.append(MenuItem::placeholder(u"No snippets yet"_s));
        submenu.append(MenuItem::separator());
        submenu.append(
            item(u"Create a snippet…"_s, {}, run(&StatusMenuActions::openSnippetManagerWindow, m_actions)));
        return snippetsItem;
    }

    const auto snippetItem = [this](const Snippet &snippet) {
        MenuItem made
            = item(snippet.title, u"text.alignleft"_s, run(&StatusMenuActions::pasteSnippetItem, m_actions));
        made.smallSymbol = true;
        made.payload = QVariant::fromValue(snippet);
        return made;
    };
    QStringList keys = folderNames.keys();
    std::ranges::sort(
        keys, [](const QString &a, const QString &b) { return CanonicalText::compare(a, b) < 0; });
    for (const QString &key : keys) {
        QList<Snippet> members;
        for (const Snippet &snippet : snippets) {
            if (snippet.group && CanonicalText::composed(*snippet.group) == key)
                members.append(snippet);
        }
        sortByTitle(members);
        MenuItem folder = item(folderNames.value(key), u"folder"_s);
        for (const Snippet &snippet : std::as_const(members))
            folder.submenu.append(snippetItem(snippet));
        if (members.isEmpty())
            folder.submenu.append(MenuItem::placeholder(u"Empty"_s));
        submenu.append(std::move(folder));
    }

    QList<Snippet> ungrouped;
    for (const Snippet &snippet : snippets) {
        if (!snippet.group)
            ungrouped.append(snippet);
    }
    sortByTitle(ungrouped);
    if (!ungrouped.isEmpty() && !keys.isEmpty())
        submenu.append(MenuItem::separator());
    for (const Snippet &snippet : std::as_const(ungrouped))
        submenu.append(snippetItem(snippet));
    return snippetsItem;
}

MenuItem StatusMenuBuilder::buildTransformSubmenu() const
{
    MenuItem transforms = item(u"Transform Clipboard"_s, u"wand.and.rays"_s);
    MenuModel &submenu = transforms.submenu;
    if (const std::optional<QString> text = m_pasteboard.string(); text && !text->isEmpty()) {
        submenu = TransformMenu::items(TextTransform::applicableTransforms(*text),
            run(&StatusMenuActions::transformClipboard, m_actions));
    } else if (m_pasteboard.hasType(PasteboardType::png) || m_pasteboard.hasType(PasteboardType::tiff)) {
        submenu.append(item(u"Paste Text from Image"_s, u"text.viewfinder"_s,
            run(&StatusMenuActions::ocrClipboardImage, m_actions)));
    }
    if (submenu.isEmpty())
        submenu.append(MenuItem::placeholder(u"Copy some text or an image first"_s));
    return transforms;
}

void StatusMenuBuilder::buildCaptureSubmenu(MenuModel &menu) const
{
    if (m_appState.isPaused()) {
        MenuItem status = MenuItem::placeholder(m_appState.pauseStatusText());
        status.symbol = u"pause.circle"_s;
        menu.append(status);
        menu.append(
            item(u"Resume Capture"_s, u"play.circle"_s, run(&StatusMenuActions::resumeCapture, m_actions)));
    } else {
        MenuItem pause = item(u"Pause Capture"_s, u"pause.circle"_s);
        const auto choice = [this](const QString &title, int minutes) {
            MenuItem made = item(title, {}, run(&StatusMenuActions::pauseCapture, m_actions));
            made.payload = minutes;
            return made;
        };
        pause.submenu = {choice(u"For 5 Minutes"_s, 5), choice(u"For 15 Minutes"_s, 15),
            choice(u"For 1 Hour"_s, 60), MenuItem::separator(), choice(u"Until I Resume"_s, 0)};
        menu.append(std::move(pause));
    }
    MenuItem privateSession = item(u"Private Session (Memory Only)"_s, u"eye.slash"_s,
        run(&StatusMenuActions::toggleSecureMode, m_actions));
    privateSession.checked = m_appState.isSecureModeActive();
    privateSession.toolTip = u"New copies stay in memory and are gone when the session ends. Your saved "
                             u"history is hidden until then."_s;
    menu.append(std::move(privateSession));
}
