import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The Security & Privacy section: the passcode and Touch ID, auto-lock,
// what happens to secrets, and the erase-all reset.
SettingsForm {
    id: page

    property QtObject settings
    property SettingsWindowContext context
    readonly property var autoLockMinutes: [0, 1, 5, 15, 30, 60]
    readonly property var expiryMinutes: [0, 5, 15, 60, 1440]

    SecuritySettingsTab {
        id: tab
        context: page.context
    }

    FormSection {
        title: "Authentication"

        ToggleRow {
            label: "Require passcode to unlock"
            checked: page.settings.requirePasscode
            onToggled: on => tab.setRequirePasscode(on)
        }

        HelpText {
            text: "When off, Vantorell unlocks automatically at login. Your history is still encrypted on disk."
        }

        ToggleRow {
            label: "Unlock with fingerprint"
            checked: page.settings.useBiometrics
            enabled: tab.touchIDEnabled
            onToggled: on => tab.setUseBiometrics(on)
        }

        HelpText {
            visible: !tab.biometricsAvailable
            text: "Fingerprint unlock is not available on this device"
        }

        HelpText {
            visible: text.length > 0
            text: tab.touchIDError
            color: VTColor.danger
        }
    }

    FormSection {
        title: "Auto-Lock"

        PickerRow {
            label: "Auto-lock after idle"
            choices: ["Never", "1 minute", "5 minutes", "15 minutes", "30 minutes", "1 hour"]
            selectedIndex: page.autoLockMinutes.indexOf(Number(page.settings.autoLockTimeout))
            enabled: page.settings.requirePasscode
            onChosen: index => page.settings.autoLockTimeout = page.autoLockMinutes[index]
        }

        ToggleRow {
            label: "Lock on sleep or screen lock"
            checked: page.settings.lockOnSleep
            enabled: page.settings.requirePasscode
            onToggled: on => page.settings.lockOnSleep = on
        }

        HelpText {
            visible: !page.settings.requirePasscode
            text: "Turn on \"Require passcode\" to use auto-lock."
        }
    }

    FormSection {
        title: "Privacy"

        ToggleRow {
            label: "Detect secrets"
            checked: page.settings.detectSecrets
            onToggled: on => page.settings.detectSecrets = on
        }

        HelpText {
            text: "Recognises API keys, tokens and card numbers."
        }

        PickerRow {
            visible: page.settings.detectSecrets
            label: "When detected"
            choices: tab.secretHandlingOptions.map(option => tab.secretHandlingOptionLabel(option))
            selectedIndex: tab.secretHandlingOptions.indexOf(tab.secretHandling)
            onChosen: index => tab.secretHandling = tab.secretHandlingOptions[index]
        }

        PickerRow {
            visible: page.settings.detectSecrets
            label: "Locked items expire after"
            choices: ["Never", "5 minutes", "15 minutes", "1 hour", "1 day"]
            selectedIndex: page.expiryMinutes.indexOf(Number(page.settings.sensitiveExpiryMinutes))
            onChosen: index => page.settings.sensitiveExpiryMinutes = page.expiryMinutes[index]
        }

        ToggleRow {
            label: "Skip password-like text"
            checked: page.settings.skipPasswordFields
            onToggled: on => page.settings.skipPasswordFields = on
        }

        HelpText {
            text: "Ignores single, complex strings that look like passwords. Copies marked private by password"
                + " managers are always skipped."
        }

        ToggleRow {
            label: "Strip tracking from URLs"
            checked: page.settings.sanitizeURLs
            onToggled: on => page.settings.sanitizeURLs = on
        }

        HelpText {
            text: "Removes utm_*, fbclid, gclid and similar tracking parameters when you copy a link."
        }
    }

    FormSection {
        title: "Danger Zone"

        FormButton {
            id: eraseAllData
            objectName: "eraseAllData"
            text: "Erase All Vantorell Data…"
            destructive: true
            onClicked: tab.showResetConfirm = true
        }
    }

    Dialog {
        id: eraseAll
        objectName: "eraseAll"

        parent: Overlay.overlay
        anchors.centerIn: parent
        width: 360
        modal: true
        padding: 20
        topPadding: 8
        title: "Erase all Vantorell data?"
        visible: tab.showResetConfirm
        onClosed: {
            tab.showResetConfirm = false
            // A closing popup leaves the keyboard with the window itself,
            // and Tab would start again at the sidebar.
            eraseAllData.forceActiveFocus()
        }
        onOpened: cancelButton.forceActiveFocus()

        background: SurfaceShape {
            cornerRadius: 12
            color: VTColor.panel
            strokeColor: VTColor.border
            strokeWidth: 1
            shadowColor: VTColor.withOpacity("black", 0.3)
            shadowRadius: 16
            shadowOffset: Qt.point(0, 6)
        }

        header: Label {
            topPadding: 20
            leftPadding: 20
            rightPadding: 20
            text: eraseAll.title
            wrapMode: Text.WordWrap
            font: VTFont.bodyEmphasis
            color: VTColor.primary
        }

        Label {
            width: parent.width
            text: tab.eraseAllAlertMessage
            wrapMode: Text.WordWrap
            font: VTFont.caption
            color: VTColor.primary
        }

        footer: DialogButtonBox {
            padding: 20
            topPadding: 4
            spacing: 8
            background: null

            FormButton {
                objectName: "erase"
                text: "Erase Everything"
                destructive: true
                DialogButtonBox.buttonRole: DialogButtonBox.DestructiveRole
                // Return answers with the default button, Cancel, wherever
                // the focus is.
                Keys.onReturnPressed: eraseAll.reject()
                Keys.onEnterPressed: eraseAll.reject()
                onClicked: {
                    eraseAll.close()
                    tab.confirmEraseAll()
                }
            }

            FormButton {
                id: cancelButton
                objectName: "cancel"
                text: "Cancel"
                isDefault: true
                DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
                Keys.onReturnPressed: eraseAll.reject()
                Keys.onEnterPressed: eraseAll.reject()
            }
        }
    }
}
