#include "ui/menubar/MainPopoverModel.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "platform/KeySender.h"
#include "ui/menubar/MenuRenderer.h"

#include <QMenu>
#include <QQuickItem>

using namespace Qt::StringLiterals;

MainPopoverModel::MainPopoverModel(
    AppStateController &appState, const KeySender &keySender, MainQueue &mainQueue, QObject *parent)
    : QObject(parent), m_appState(appState), m_keySender(keySender), m_mainQueue(mainQueue),
      m_screen(screenFor(appState.showOnboarding(), appState.isUnlocked())),
      m_canAutoPaste(keySender.isPermitted()), m_rowTimes(appState.clock())
{
    connect(&m_appState, &AppStateController::showOnboardingChanged, this, &MainPopoverModel::updateScreen);
    connect(&m_appState, &AppStateController::isUnlockedChanged, this, &MainPopoverModel::updateScreen);
    connect(
        &m_appState, &AppStateController::isPausedChanged, this, &MainPopoverModel::pauseStatusTextChanged);
    connect(&m_appState, &AppStateController::pausedUntilChanged, this,
        &MainPopoverModel::pauseStatusTextChanged);
}

MainPopoverModel::~MainPopoverModel()
{
    // Safe at once: no choice runs inside a menu's own event handling.
    delete m_openMenu;
}

MainPopoverModel::Screen MainPopoverModel::screenFor(bool showOnboarding, bool isUnlocked)
{
    if (showOnboarding)
        return Screen::Onboarding;
    return isUnlocked ? Screen::Working : Screen::Unlock;
}

void MainPopoverModel::updateScreen()
{
    const Screen screen = screenFor(m_appState.showOnboarding(), m_appState.isUnlocked());
    if (screen == m_screen)
        return;
    m_screen = screen;
    // The menu's commands belong to the working panel.
    if (m_openMenu)
        m_openMenu->close();
    if (m_shown)
        refreshCanAutoPaste();
    emit screenChanged();
}

void MainPopoverModel::setShown(bool shown)
{
    if (m_shown == shown)
        return;
    m_shown = shown;
    m_rowTimes.setRunning(shown);
    emit shownChanged();
    if (!shown)
        return;
    refreshCanAutoPaste();
    emit appeared();
}

void MainPopoverModel::refreshCanAutoPaste()
{
    const bool permitted = m_keySender.isPermitted();
    if (permitted == m_canAutoPaste)
        return;
    m_canAutoPaste = permitted;
    emit canAutoPasteChanged();
}

QString MainPopoverModel::pauseStatusText() const
{
    return m_appState.pauseStatusText();
}

QObject *MainPopoverModel::appStateObject() const
{
    return &m_appState;
}

void MainPopoverModel::resumeCapture()
{
    m_appState.resumeCapture();
}

void MainPopoverModel::requestAccessibility()
{
    m_appState.paste().openAccessibilitySettings();
}

void MainPopoverModel::openSnippetManager()
{
    emit m_appState.openSnippetManager();
}

MenuModel MainPopoverModel::moreMenu()
{
    MenuModel menu;
    menu.append(MenuItem::button(u"Settings…"_s, u"gearshape"_s,
        [this](const QVariant &) { emit m_appState.openSettingsWindow(std::nullopt); }));
    menu.append(MenuItem::button(
        u"Edit Snippets…"_s, u"square.and.pencil"_s, [this](const QVariant &) { openSnippetManager(); }));
    menu.append(MenuItem::separator());
    if (m_appState.isPaused()) {
        menu.append(MenuItem::button(
            u"Resume Capture"_s, u"play.circle"_s, [this](const QVariant &) { resumeCapture(); }));
    } else {
        const auto pause = [this](const QString &title, std::optional<int> minutes) {
            return MenuItem::button(
                title, {}, [this, minutes](const QVariant &) { m_appState.pauseCapture(minutes); });
        };
        MenuItem submenu = MenuItem::button(u"Pause Capture"_s, u"pause.circle"_s, {});
        submenu.submenu = {pause(u"For 5 Minutes"_s, 5), pause(u"For 15 Minutes"_s, 15),
            pause(u"For 1 Hour"_s, 60), MenuItem::separator(), pause(u"Until I Resume"_s, std::nullopt)};
        menu.append(std::move(submenu));
    }
    menu.append(MenuItem::button(
        m_appState.isSecureModeActive() ? u"End Private Session"_s : u"Start Private Session"_s,
        u"eye.slash"_s,
        [this](const QVariant &) { m_appState.changeSecureMode(!m_appState.isSecureModeActive()); }));
    menu.append(MenuItem::separator());
    menu.append(MenuItem::button(u"Lock Vantorell"_s, u"lock"_s, [this](const QVariant &) {
        if (SecurityController *security = m_appState.securityController())
            security->lockNow();
    }));
    MenuItem clear = MenuItem::button(
        u"Clear History…"_s, u"trash"_s, [this](const QVariant &) { m_appState.confirmClearHistory(); });
    clear.destructive = true;
    menu.append(std::move(clear));
    menu.append(MenuItem::separator());
    menu.append(MenuItem::button(
        u"Quit Vantorell"_s, u"power"_s, [this](const QVariant &) { emit quitRequested(); }));
    return menu;
}

void MainPopoverModel::popUpMoreMenu(QQuickItem *button)
{
    if (m_openMenu)
        m_openMenu->close();
    m_openMenu = MenuRenderer::popUp(moreMenu(), {this, m_appState.unlockedFromNow()}, button);
}
