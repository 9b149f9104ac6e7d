import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The Backup section: a password-protected backup of the whole vault, and
// adding one back, with the outcome of the last of them.
SettingsForm {
    id: page

    property QtObject settings
    property SettingsWindowContext context

    BackupSettingsTab {
        id: tab
        context: page.context
        shown: page.Window.visibility !== Window.Hidden
    }

    FormSection {
        title: "Create a backup"
        footer: "Includes your history, pinned items, snippets and excluded apps. Self-destructing items are left"
            + " out."

        WindowTextField {
            objectName: "password"
            Layout.fillWidth: true
            echoMode: TextInput.Password
            placeholderText: "Backup password"
            text: tab.password
            onTextEdited: tab.password = text
        }

        WindowTextField {
            objectName: "confirm"
            Layout.fillWidth: true
            echoMode: TextInput.Password
            placeholderText: "Confirm password"
            text: tab.confirm
            onTextEdited: tab.confirm = text
        }

        HelpText {
            objectName: "passwordNote"
            text: tab.validationMessage.length > 0 ? tab.validationMessage
                : "The backup is encrypted with this password. If you forget it, the backup can't be opened — not"
                    + " even by us."
            color: tab.validationMessage.length > 0 ? VTColor.danger : VTColor.secondary
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Item {
                Layout.fillWidth: true
            }

            BusyIndicator {
                visible: tab.isWorking
                running: visible
                implicitWidth: 16
                implicitHeight: 16
                padding: 0
            }

            FormButton {
                objectName: "backUp"
                text: "Back Up…"
                enabled: tab.canCreate
                onClicked: tab.backUp()
            }
        }
    }

    FormSection {
        title: "Restore"
        footer: "Items past your Auto-delete or Keep-up-to settings are skipped; pinned and starred items always"
            + " come back."

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Label {
                Layout.fillWidth: true
                text: "Adds the items and snippets from a backup to this computer. Nothing already here is deleted."
                wrapMode: Text.WordWrap
                font: VTFont.systemFont(11, Font.Normal)
                color: VTColor.secondary
            }

            FormButton {
                objectName: "restore"
                text: "Restore…"
                enabled: !tab.isWorking
                onClicked: tab.restore()
            }
        }
    }

    FormSection {
        objectName: "result"
        visible: tab.result.length > 0

        RowLayout {
            readonly property color tint: tab.resultIsError ? VTColor.danger : "#34c759"

            Layout.fillWidth: true
            spacing: 6

            Symbol {
                name: tab.resultIsError ? "exclamationmark.triangle.fill" : "checkmark.circle.fill"
                pointSize: 12
                color: parent.tint
            }

            Label {
                Layout.fillWidth: true
                text: tab.result
                wrapMode: Text.WordWrap
                font: VTFont.systemFont(12, Font.Normal)
                color: parent.tint
            }
        }
    }
}
