#include "PanelPages.h"

#include "SampleDesktop.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/OnboardingModel.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/UnlockModel.h"

#include <QEventLoop>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString passcode = u"Sunflower-7"_s;

// Lets transitions finish and the window draw.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(450, &loop, &QEventLoop::quit);
    loop.exec();
}

QQuickItem *screenOf(const PanelWindow &window)
{
    const QList<QObject *> loaders = window.rootItem()->findChildren<QObject *>(u"screen"_s);
    return loaders.isEmpty() ? nullptr : loaders.constFirst()->property("item").value<QQuickItem *>();
}

template<class Model> Model *modelOf(const PanelWindow &window)
{
    QQuickItem *screen = screenOf(window);
    return screen ? screen->findChild<Model *>() : nullptr;
}

} // namespace

bool PanelPages::write(const QString &appearance)
{
    QTemporaryDir home;
    SampleDesktop desktop;
    desktop.keySender.permitted = false;
    SettingsManager settings(home.filePath(u"Vantorell.conf"_s), desktop.loginItem, desktop.dockPresence);
    KeyManager keys(desktop.keychain, desktop.deviceAuth);
    EncryptionService encryption(keys.masterKey());
    SecureStorageManager store(encryption);
    SnippetManager snippets(store);
    AppStateController appState;
    SecurityController security(keys, appState, settings, desktop.deviceAuth, desktop.idleTime);
    appState.configure(nullptr, store, snippets, &security, settings);
    appState.setShowOnboarding(true);
    MainPopoverModel panel(appState, desktop.keySender);
    QQmlEngine engine;
    PanelWindow window(engine, QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s),
        {{u"panel"_s, QVariant::fromValue(&panel)}});
    window.showAt({0, 0});
    settle();

    const auto save = [&](const QString &name) {
        settle();
        const QString file = m_folder.filePath(u"%1-%2.png"_s.arg(name, appearance));
        if (window.grabWindow().save(file))
            return true;
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    };

    OnboardingModel *setup = modelOf<OnboardingModel>(window);
    if (!setup || !save(u"setup-welcome"_s))
        return false;
    setup->validateAndAdvance();
    setup->setPasscode(passcode);
    setup->setConfirmPasscode(passcode.chopped(1));
    setup->validateAndAdvance();
    if (!save(u"setup-passcode"_s))
        return false;
    setup->setConfirmPasscode(passcode);
    setup->validateAndAdvance();
    if (!save(u"setup-touch-id"_s))
        return false;
    setup->validateAndAdvance();
    if (!save(u"setup-permission"_s))
        return false;
    desktop.keychain.refuseStores = true;
    setup->completeSetup();
    if (!save(u"setup-failed"_s))
        return false;
    desktop.keychain.refuseStores = false;
    setup->completeSetup();

    security.lockNow();
    settle();
    UnlockModel *lock = modelOf<UnlockModel>(window);
    if (!lock)
        return false;
    lock->setPasscode(u"Sunflower"_s);
    lock->submitPasscode();
    if (!save(u"lock"_s))
        return false;

    lock->setPasscode(passcode);
    lock->submitPasscode();
    appState.pauseCapture(15);
    appState.setSecureModeActive(true);
    return save(u"panel"_s);
}
