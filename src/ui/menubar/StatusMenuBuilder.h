#pragma once

#include "records/ClipboardEntry.h"
#include "ui/menubar/MenuItem.h"

#include <QString>

#include <optional>

class AppStateController;
class EncryptionService;
class KeySender;
class Pasteboard;
class SettingsManager;
class StatusMenuActions;

// The status menu as a model, built anew for every showing from the state
// of that moment: the history (in folders when long), the snippets by
// folder, the transforms that fit the clipboard, the capture controls and
// the commands. Every item acts through the actions it is given. Main
// thread only: previews are opened here.
class StatusMenuBuilder final {
    Q_DISABLE_COPY(StatusMenuBuilder)

public:
    // The longest history title, in user-perceived characters.
    static constexpr qsizetype menuTitleMaxChars = 28;

    StatusMenuBuilder(const AppStateController &appState, const SettingsManager &settings,
        Pasteboard &pasteboard, const KeySender &keySender, StatusMenuActions &actions);

    MenuModel buildStatusMenu() const;
    // shortcut: 1 to 9 for Ctrl+1 to Ctrl+9.
    MenuItem makeHistoryMenuItem(const ClipboardEntry &entry, std::optional<int> shortcut) const;
    MenuItem buildTransformSubmenu() const;
    void buildCaptureSubmenu(MenuModel &menu) const;
    MenuItem buildSnippetsSubmenu() const;

    // The entry's menu title: its preview on one line, trimmed and cut;
    // a placeholder where the preview cannot be shown. encryption is null
    // before the store exists.
    static QString historyTitle(const ClipboardEntry &entry, const EncryptionService *encryption);

private:
    void appendHistory(MenuModel &menu) const;

    const AppStateController &m_appState;
    const SettingsManager &m_settings;
    Pasteboard &m_pasteboard;
    const KeySender &m_keySender;
    StatusMenuActions &m_actions;
};
