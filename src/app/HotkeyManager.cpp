#include "app/HotkeyManager.h"

#include "app/AppStateController.h"
#include "base/Log.h"
#include "platform/GlobalHotkey.h"
#include "platform/ShortcutNames.h"
#include "settings/SettingsManager.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

HotkeyManager::HotkeyManager(
    AppStateController &appState, SettingsManager &settings, GlobalHotkey &hotkey, QObject *parent)
    : QObject(parent), m_appState(appState), m_settings(settings), m_hotkey(hotkey)
{
    connect(&m_hotkey, &GlobalHotkey::pressed, this, &HotkeyManager::handlePress);
    registerHotkey();

    m_debounce.setSingleShot(true);
    m_debounce.setInterval(debounceInterval);
    connect(&m_debounce, &QTimer::timeout, this, &HotkeyManager::registerHotkey);
    const auto restart = [this] { m_debounce.start(); };
    connect(&m_settings, &SettingsManager::hotkeyKeyCodeChanged, this, restart);
    connect(&m_settings, &SettingsManager::hotkeyModifiersChanged, this, restart);
}

HotkeyManager::~HotkeyManager()
{
    if (m_registered)
        m_hotkey.unregisterHotkey();
}

quint32 HotkeyManager::carbonModifiers(qint64 flags)
{
    // A damaged settings file may hold a negative value: it names no modifier.
    if (flags < 0)
        return 0;
    return quint32(flags)
        & (GlobalHotkey::commandModifier | GlobalHotkey::shiftModifier | GlobalHotkey::optionModifier
            | GlobalHotkey::controlModifier);
}

void HotkeyManager::registerHotkey()
{
    if (m_registered) {
        m_hotkey.unregisterHotkey();
        m_registered = false;
    }
    // A key code beyond 32 bits names no key; the platform refuses it.
    const quint32 keyCode
        = quint32(std::clamp<qint64>(m_settings.hotkeyKeyCode(), 0, std::numeric_limits<quint32>::max()));
    const quint32 modifiers = carbonModifiers(m_settings.hotkeyModifiers());
    if (modifiers == 0) {
        m_settings.setHotkeyError(
            u"Add %1 or %2 to the shortcut."_s.arg(ShortcutNames::command, ShortcutNames::control));
        return;
    }
    const std::expected<void, GlobalHotkeyError> registered = m_hotkey.registerHotkey(keyCode, modifiers);
    if (!registered) {
        m_settings.setHotkeyError(ShortcutNames::shown(m_settings.globalHotkey())
            + u" is already used by another app or the desktop. Choose a different shortcut."_s);
        Log::write(u"Hotkey registration failed (OSStatus %1)"_s.arg(registered.error().status));
        return;
    }
    m_registered = true;
    m_settings.setHotkeyError(QString());
    Log::write(u"Global hotkey registered: "_s + m_settings.globalHotkey());
}

void HotkeyManager::handlePress()
{
    emit m_appState.presentClipboardMenuAtCursor();
}
