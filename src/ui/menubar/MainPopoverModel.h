#pragma once

#include "base/MainQueue.h"
#include "ui/menubar/MenuItem.h"
#include "ui/menubar/RowTimeTexts.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QString>
#include <QtQmlIntegration>

class AppStateController;
class KeySender;

// The panel beside its screens: which screen it shows, whether synthetic
// pastes are permitted (the click-to-paste banner), the paused banner's text
// and the header's More menu. The panel window is made once and only hidden
// between showings, so each showing counts as an appearance of its own: it
// tests the permission again and tells the shown screen through appeared().
// Main thread only.
class MainPopoverModel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(MainPopoverModel)
    QML_ELEMENT
    QML_UNCREATABLE("The menu bar makes the panel's model")

    Q_PROPERTY(Screen screen READ screen NOTIFY screenChanged)
    // Bound by the view to its window's visibility.
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)
    Q_PROPERTY(bool canAutoPaste READ canAutoPaste NOTIFY canAutoPasteChanged)
    Q_PROPERTY(QString pauseStatusText READ pauseStatusText NOTIFY pauseStatusTextChanged)
    // The application state, for the flags the views read as they are.
    Q_PROPERTY(QObject *appState READ appStateObject CONSTANT)

public:
    // Capitalised: QML reads enum values only so.
    enum class Screen { Onboarding, Unlock, Working };
    Q_ENUM(Screen)

    MainPopoverModel(AppStateController &appState, const KeySender &keySender,
        MainQueue &mainQueue = MainQueue::system(), QObject *parent = nullptr);
    ~MainPopoverModel() override;

    // The first-run set-up wins over the lock screen.
    static Screen screenFor(bool showOnboarding, bool isUnlocked);

    Screen screen() const { return m_screen; }
    bool isShown() const { return m_shown; }
    void setShown(bool shown);
    bool canAutoPaste() const { return m_canAutoPaste; }
    void refreshCanAutoPaste();
    QString pauseStatusText() const;

    AppStateController &appState() const { return m_appState; }
    const KeySender &keySender() const { return m_keySender; }
    MainQueue &mainQueue() const { return m_mainQueue; }
    // The history rows' age and count-down texts; they tick while shown.
    RowTimeTexts &rowTimes() { return m_rowTimes; }

    Q_INVOKABLE void resumeCapture();
    // Shows how to let the X server accept synthetic keys. The banner stays
    // until a showing finds them permitted.
    Q_INVOKABLE void requestAccessibility();
    Q_INVOKABLE void openSnippetManager();

    // The header's More menu as the state is now.
    MenuModel moreMenu();
    // Opens it under button, right-aligned with it.
    Q_INVOKABLE void popUpMoreMenu(QQuickItem *button);
    QMenu *openMenu() const { return m_openMenu; }

signals:
    void screenChanged();
    void shownChanged();
    void canAutoPasteChanged();
    void pauseStatusTextChanged();
    // The panel came on screen.
    void appeared();
    void quitRequested();

private:
    QObject *appStateObject() const;
    void updateScreen();

    AppStateController &m_appState;
    const KeySender &m_keySender;
    MainQueue &m_mainQueue;
    Screen m_screen;
    bool m_shown = false;
    bool m_canAutoPaste;
    QPointer<QMenu> m_openMenu;
    RowTimeTexts m_rowTimes;
};
