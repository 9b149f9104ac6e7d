import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The General section: start-up, pasting, the global hot key and updates.
SettingsForm {
    id: page

    property QtObject settings
    property SettingsWindowContext context
    readonly property QtObject updates: context ? context.updateChecker : null

    GeneralSettingsTab {
        id: tab
        context: page.context
    }

    FormSection {
        title: "Startup"

        ToggleRow {
            label: "Launch at login"
            checked: page.settings.launchAtLogin
            onToggled: on => page.settings.launchAtLogin = on
        }

        HelpText {
            visible: text.length > 0
            text: page.settings.loginItemNote
        }

        ToggleRow {
            label: "Show in taskbar"
            checked: page.settings.showInDock
            onToggled: on => page.settings.showInDock = on
        }
    }

    FormSection {
        title: "Behaviour"

        ToggleRow {
            label: "Paste automatically when you choose an item"
            checked: page.settings.autoPaste
            onToggled: on => page.settings.autoPaste = on
        }

        HelpText {
            visible: tab.behaviourState === GeneralSettingsTab.CopiesOnly
            text: "Choosing an item copies it; press Ctrl+V to paste."
        }

        StatusLine {
            visible: tab.behaviourState === GeneralSettingsTab.PasteAllowed
            icon: "checkmark.circle.fill"
            text: "Synthetic keystrokes allowed (XTEST)"
            // The desktop's own green, not the design's.
            tint: "#34c759"
        }

        RowLayout {
            visible: tab.behaviourState === GeneralSettingsTab.PermissionMissing
            Layout.fillWidth: true
            spacing: 8

            StatusLine {
                Layout.fillWidth: true
                icon: "exclamationmark.triangle.fill"
                text: "The X server hasn't allowed Vantorell to paste yet."
                tint: VTColor.warning
            }

            FormButton {
                text: "How to Allow…"
                small: true
                onClicked: tab.openAccessibilitySettings()
            }
        }

        HelpText {
            visible: tab.behaviourState === GeneralSettingsTab.PermissionMissing
            text: "The X server must offer its XTEST extension (How to Allow… says what switches it off). Then log out and back in, and start Vantorell again."
        }

        ToggleRow {
            label: "Play a sound when something is copied"
            checked: page.settings.playSounds
            onToggled: on => page.settings.playSounds = on
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 1

                Label {
                    text: "Global hotkey"
                    font: VTFont.body
                    color: VTColor.primary
                }

                HelpText {
                    text: "Opens the quick menu at your cursor, anywhere."
                }
            }

            HotkeyRecorder {
                objectName: "recorder"
                Layout.preferredWidth: 140
                Layout.preferredHeight: 24
                display: page.settings.globalHotkey
                keyCodeMap: page.context ? page.context.keyCodeMap : null
                Accessible.role: Accessible.Button
                Accessible.name: "Global hotkey"
                Accessible.description: shownText
                onCaptured: (keyCode, modifiers, display) => {
                    page.settings.hotkeyKeyCode = keyCode
                    page.settings.hotkeyModifiers = modifiers
                    page.settings.globalHotkey = display
                }

                FocusRing {
                    anchors.fill: parent
                    anchors.margins: -3
                    visible: parent.activeFocus && !parent.recording
                }
            }

            VTIconButton {
                activeFocusOnTab: true
                icon: "arrow.counterclockwise"
                help: tab.resetHelp
                onAction: tab.resetHotkey()
            }
        }

        StatusLine {
            visible: text.length > 0
            icon: "exclamationmark.triangle.fill"
            text: page.settings.hotkeyError
            tint: VTColor.danger
        }
    }

    FormSection {
        title: "Updates"

        RowLayout {
            Layout.fillWidth: true

            Label {
                Layout.fillWidth: true
                text: "Current version"
                font: VTFont.body
                color: VTColor.primary
            }

            Label {
                text: tab.versionText
                font: VTFont.monospacedFont(12, Font.Normal)
                color: VTColor.secondary
            }
        }

        RowLayout {
            visible: page.updates && page.updates.updateMessage.length > 0
            Layout.fillWidth: true
            spacing: 6

            Symbol {
                readonly property bool available: page.updates && page.updates.updateAvailable

                name: available ? "arrow.down.circle.fill" : "checkmark.circle.fill"
                pointSize: 13
                color: available ? VTColor.accent : VTColor.success
            }

            Label {
                Layout.fillWidth: true
                text: page.updates ? page.updates.updateMessage : ""
                wrapMode: Text.WordWrap
                font: VTFont.caption
                color: VTColor.primary
            }

            Button {
                visible: tab.showsDownload
                text: "Download"
                padding: 0
                background: null
                contentItem: Label {
                    text: "Download"
                    font: VTFont.caption
                    color: VTColor.accent
                }
                onClicked: tab.openDownload()
            }
        }

        FormButton {
            id: checkButton

            readonly property bool checking: page.updates && page.updates.isCheckingUpdates

            text: "Check for Updates…"
            enabled: !checking
            onClicked: tab.checkForUpdates()

            contentItem: RowLayout {
                spacing: 6

                BusyIndicator {
                    visible: checkButton.checking
                    running: visible
                    implicitWidth: 14
                    implicitHeight: 14
                    padding: 0
                }

                Label {
                    text: checkButton.text
                    font: checkButton.font
                    color: checkButton.enabled ? VTColor.primary : VTColor.secondary
                }
            }
        }
    }
}
