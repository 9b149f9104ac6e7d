#include "ui/menubar/StatusBarController.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "base/Log.h"
#include "capture/ClipboardMonitor.h"
#include "platform/GlobalMouseMonitor.h"
#include "platform/Pasteboard.h"
#include "platform/Workspace.h"
#include "records/Snippet.h"
#include "settings/SettingsManager.h"
#include "store/StorageError.h"
#include "tools/TextTransform.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/MenuRenderer.h"
#include "ui/menubar/PanelPlacement.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/StatusMenuBuilder.h"
#include "ui/menubar/TrayIconImage.h"
#include "ui/menubar/WindowHost.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPalette>
#include <QScreen>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

const QUrl panelRoot(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s);

} // namespace

StatusBarController::StatusBarController(
    AppStateController &appState, SettingsManager &settings, Desktop desktop, QObject *parent)
    : QObject(parent), m_appState(appState), m_settings(settings), m_desktop(desktop)
{
    const QVariantMap environment {
        {u"appState"_s, QVariant::fromValue<QObject *>(&m_appState)},
        {u"settings"_s, QVariant::fromValue<QObject *>(&m_settings)},
    };
    m_popover = std::make_unique<MainPopoverModel>(m_appState, m_desktop.keySender);
    connect(m_popover.get(), &MainPopoverModel::quitRequested, this, &StatusBarController::quitApp);
    m_panel = std::make_unique<PanelWindow>(
        m_engine, panelRoot, QVariantMap {{u"panel"_s, QVariant::fromValue(m_popover.get())}});
    m_windows = std::make_unique<WindowHost>(m_engine, environment);

    if (!QSystemTrayIcon::isSystemTrayAvailable())
        Log::write(u"No system tray available: the status item shows once one appears"_s);
    m_trayIcon.setToolTip(u"Vantorell"_s);
    show(m_settings.menubarIconName());
    connect(&m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
            handleClick();
    });
    closePanelOnClicksElsewhere();
    observeState();
    installHooks();
    qApp->installEventFilter(this);
    m_trayIcon.show();
}

StatusBarController::~StatusBarController()
{
    // Safe at once: no choice runs inside a menu's own event handling.
    delete m_openMenu;
}

// Clicks that move no focus (on a taskbar, a dock) close it too. Watching
// only while it shows, nothing wakes the program for every click.
void StatusBarController::closePanelOnClicksElsewhere()
{
    GlobalMouseMonitor &monitor = m_desktop.mouseMonitor;
    connect(m_panel.get(), &QWindow::visibleChanged, &monitor, [&monitor](bool visible) {
        if (visible)
            monitor.start();
        else
            monitor.stop();
    });
    connect(&monitor, &GlobalMouseMonitor::mouseDown, this, &StatusBarController::dismissPanel);
}

void StatusBarController::observeState()
{
    connect(&m_appState, &AppStateController::showQuickPickerChanged, this, [this](bool shown) {
        if (!shown)
            dismissPanel();
    });
    // Nothing decrypted may stay on screen once the vault locks, also while
    // a menu is open: the idle check and the screen lock run meanwhile.
    connect(&m_appState, &AppStateController::isUnlockedChanged, this, [this](bool unlocked) {
        if (!unlocked)
            handleLock();
    });

    // The state symbol replaces the chosen one on the next turn, as every
    // later change does.
    const auto update = [this] { updateStatusIcon(); };
    connect(&m_appState, &AppStateController::isUnlockedChanged, this, update, Qt::QueuedConnection);
    connect(&m_appState, &AppStateController::isPausedChanged, this, update, Qt::QueuedConnection);
    connect(&m_appState, &AppStateController::isSecureModeActiveChanged, this, update, Qt::QueuedConnection);
    connect(&m_settings, &SettingsManager::menubarIconNameChanged, this, update, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, update, Qt::QueuedConnection);
}

void StatusBarController::installHooks()
{
    connect(&m_appState, &AppStateController::dismissPanel, this, &StatusBarController::dismissPanel);
    connect(&m_appState, &AppStateController::presentClipboardMenuAtCursor, this,
        &StatusBarController::presentClipboardMenuAtCursor);
    connect(&m_appState, &AppStateController::openSnippetManager, this,
        &StatusBarController::openSnippetManagerWindow);
    connect(
        &m_appState, &AppStateController::openSettingsWindow, this, &StatusBarController::openSettingsWindow);
    m_appState.setPanelKeyQuery(this, [this] { return isPanelKey(); });
}

QString StatusBarController::symbolName(
    bool isUnlocked, bool isPaused, bool isSecureModeActive, const QString &menubarIconName)
{
    if (!isUnlocked)
        return u"lock.fill"_s;
    if (isPaused)
        return u"pause.circle"_s;
    if (isSecureModeActive)
        return u"eye.slash"_s;
    return menubarIconName;
}

void StatusBarController::updateStatusIcon()
{
    show(symbolName(m_appState.isUnlocked(), m_appState.isPaused(), m_appState.isSecureModeActive(),
        m_settings.menubarIconName()));
}

void StatusBarController::show(const QString &symbol)
{
    if (symbol == m_shownSymbolName)
        return;
    m_shownSymbolName = symbol;
    m_trayIcon.setIcon(QIcon(QPixmap::fromImage(TrayIconImage::make(symbol, QGuiApplication::palette()))));
}

void StatusBarController::handleLock()
{
    if (m_openMenu)
        m_openMenu->close();
    dismissPanel();
    m_windows->closeWindows();
}

void StatusBarController::recordActivity()
{
    if (SecurityController *security = m_appState.securityController())
        security->recordActivity();
}

void StatusBarController::rememberFrontApplication()
{
    m_appState.previousActiveApp = m_desktop.workspace.frontmostApplication();
}

void StatusBarController::handleClick()
{
    rememberFrontApplication();
    recordActivity();
    // The tray icon is a window of ours, so the press on it leaves the
    // panel to close here.
    if (m_appState.isUnlocked()) {
        dismissPanel();
        popUpMenuAtPointer();
    } else {
        showPanel();
    }
}

void StatusBarController::presentClipboardMenuAtCursor()
{
    if (m_appState.isUnlocked()) {
        rememberFrontApplication();
        recordActivity();
        popUpMenuAtPointer();
        return;
    }
    // A paste after unlocking goes to the application the user was in;
    // the panel itself may be in front when the key is pressed again.
    const std::optional<RunningApplication> front = m_desktop.workspace.frontmostApplication();
    if (!front || front->processIdentifier != QCoreApplication::applicationPid())
        m_appState.previousActiveApp = front;
    showPanel();
}

std::unique_ptr<QMenu> StatusBarController::buildStatusMenu()
{
    const StatusMenuBuilder builder(m_appState, m_settings, m_desktop.pasteboard, m_desktop.keySender, *this);
    return MenuRenderer::render(builder.buildStatusMenu(), {this, m_appState.unlockedFromNow()});
}

void StatusBarController::popUpMenuAtPointer()
{
    if (m_openMenu)
        m_openMenu->close();
    QMenu *menu = buildStatusMenu().release();
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    m_openMenu = menu;
    menu->popup(QCursor::pos());
}

void StatusBarController::showPanel()
{
    const QRect icon = m_trayIcon.geometry();
    const QPoint pointer = QCursor::pos();
    const QScreen *screen = QGuiApplication::screenAt(icon.isEmpty() ? pointer : icon.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(), PanelWindow::panelSize);
    m_panel->showAt(PanelPlacement::position(icon, PanelWindow::panelSize, area, pointer));
    recordActivity();
}

void StatusBarController::openPanel()
{
    rememberFrontApplication();
    showPanel();
}

void StatusBarController::dismissPanel()
{
    m_panel->hide();
}

bool StatusBarController::isPanelKey() const
{
    return m_panel->isKey();
}

void StatusBarController::openSettingsWindow(std::optional<SettingsSection> section)
{
    dismissPanel();
    m_windows->openSettingsWindow(section);
}

void StatusBarController::openAccessibilityFromMenu()
{
    m_appState.paste().openAccessibilitySettings();
}

void StatusBarController::pasteHistoryItem(const QVariant &payload)
{
    if (payload.metaType() != QMetaType::fromType<QUuid>())
        return;
    // The entry as the history holds it now: one deleted or expired while
    // the menu was open is not pasted back.
    const QUuid id = payload.value<QUuid>();
    const QList<ClipboardEntry> entries = m_appState.clipboardEntries();
    const auto found = std::ranges::find(entries, id, &ClipboardEntry::id);
    if (found != entries.end())
        m_appState.paste().revealAndPaste(*found);
}

void StatusBarController::pasteSnippetItem(const QVariant &payload)
{
    if (payload.metaType() == QMetaType::fromType<Snippet>())
        m_appState.paste().pasteSnippet(payload.value<Snippet>());
}

void StatusBarController::openSnippetManagerWindow()
{
    dismissPanel();
    m_windows->openSnippetManagerWindow();
}

void StatusBarController::transformClipboard(const QVariant &payload)
{
    if (payload.metaType() != QMetaType::fromType<QString>())
        return;
    const std::optional<TextTransform> transform = TextTransform::fromRawValue(payload.toString());
    if (!transform)
        return;
    const std::optional<QString> text = m_desktop.pasteboard.string();
    if (!text)
        return;
    recordActivity();
    m_appState.paste().pasteTransformedText(*text, *transform);
}

void StatusBarController::ocrClipboardImage()
{
    recordActivity();
    m_appState.paste().ocrClipboardImage();
}

void StatusBarController::pauseCapture(const QVariant &payload)
{
    if (payload.metaType() != QMetaType::fromType<int>())
        return;
    const int minutes = payload.toInt();
    m_appState.pauseCapture(minutes > 0 ? std::optional(minutes) : std::nullopt);
}

void StatusBarController::resumeCapture()
{
    m_appState.resumeCapture();
}

void StatusBarController::toggleSecureMode()
{
    m_appState.changeSecureMode(!m_appState.isSecureModeActive());
}

void StatusBarController::clearHistoryFromMenu()
{
    m_appState.confirmClearHistory();
}

void StatusBarController::panicClearFromMenu()
{
    m_appState.clearHistory(true, [](const std::expected<void, StorageError> &cleared) {
        Log::write(cleared
                ? u"Panic clear: history and clipboard wiped"_s
                : u"Panic clear: clipboard wiped; history not cleared: "_s + description(cleared.error()));
    });
    m_desktop.pasteboard.clear();
    if (ClipboardMonitor *monitor = m_appState.clipboardMonitor())
        monitor->setOwnChangeCount(m_desktop.pasteboard.changeCount());
}

void StatusBarController::openSettingsFromMenu()
{
    openSettingsWindow(std::nullopt);
}

void StatusBarController::openPanelFromMenu()
{
    openPanel();
}

void StatusBarController::lockApp()
{
    if (SecurityController *security = m_appState.securityController())
        security->lockNow();
    dismissPanel();
}

void StatusBarController::quitApp()
{
    // A second Quit leaves it to the first, which has the store's answer.
    if (m_quitWaiting)
        return;
    const QuitSaves saves = m_appState.saveEditsBeforeQuit();
    if (saves.isEmpty()) {
        QCoreApplication::quit();
        return;
    }
    m_quitWaiting = true;
    saves.whenAnswered(this, quitSaveBound, [this](const QuitSaves::Answer &answer) {
        m_quitWaiting = false;
        if (answer && !*answer) {
            m_appState.raiseAlert(u"Your snippet edit couldn't be saved"_s,
                description(answer->error())
                    + u". Vantorell is still running, with the edit in the Snippets window: quit again once "
                      u"it can be saved, or close the Snippets window to give the edit up."_s);
            return;
        }
        if (!answer)
            Log::write(u"Quitting without the store's answer to a snippet save"_s);
        QCoreApplication::quit();
    });
}

bool StatusBarController::eventFilter(QObject *watched, QEvent *event)
{
    // A new desktop theme or palette draws the same symbol anew.
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        const QString shown = std::exchange(m_shownSymbolName, {});
        show(shown);
        return false;
    }
    // Key presses reach a window first, then its content: taken there, each
    // press is seen once. An open menu runs its own shortcuts.
    if (event->type() != QEvent::KeyPress || !watched->isWindowType())
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    if (key->keyCombination() != QKeyCombination(Qt::ControlModifier, Qt::Key_Comma) || key->isAutoRepeat())
        return false;
    if (QApplication::activePopupWidget() || QGuiApplication::modalWindow())
        return false;
    openSettingsWindow(std::nullopt);
    return true;
}
