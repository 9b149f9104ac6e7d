import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The Appearance section: the menu-bar icon, and how many items the
// history menu lists before it groups them into folders.
SettingsForm {
    id: page

    property QtObject settings
    property SettingsWindowContext context
    readonly property var icons: [
        {symbol: "doc.on.clipboard", label: "Clipboard"},
        {symbol: "doc.on.clipboard.fill", label: "Clipboard (Filled)"},
        {symbol: "clipboard", label: "Board"},
        {symbol: "clipboard.fill", label: "Board (Filled)"},
        {symbol: "list.clipboard", label: "List Board"},
        {symbol: "list.clipboard.fill", label: "List Board (Filled)"},
        {symbol: "doc.text", label: "Document"},
        {symbol: "doc.text.fill", label: "Document (Filled)"},
        {symbol: "square.and.pencil", label: "Edit"},
        {symbol: "note.text", label: "Note"}
    ]
    readonly property var itemsPerFolder: [10, 20, 30, 50, 100]

    FormSection {
        title: "System Tray Icon"

        Label {
            Layout.fillWidth: true
            text: "Choose the icon shown in the system tray when unlocked:"
            wrapMode: Text.WordWrap
            font: VTFont.caption
            color: VTColor.secondary
        }

        GridLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 4
            Layout.bottomMargin: 4
            columns: 5
            rowSpacing: 12
            columnSpacing: 0

            Repeater {
                model: page.icons

                MenuBarIconTile {
                    required property var modelData

                    objectName: "iconTile"
                    Layout.preferredWidth: 80
                    symbol: modelData.symbol
                    text: modelData.label
                    current: page.settings.menubarIconName === modelData.symbol
                    onClicked: page.settings.menubarIconName = modelData.symbol
                }
            }
        }
    }

    FormSection {
        title: "Clipboard Menu"

        PickerRow {
            objectName: "itemsPerFolder"
            label: "History items per folder"
            choices: page.itemsPerFolder.map(count => String(count))
            selectedIndex: page.itemsPerFolder.indexOf(Number(page.settings.menuItemsPerFolder))
            onChosen: index => page.settings.menuItemsPerFolder = page.itemsPerFolder[index]
        }

        HelpText {
            text: "When your history is longer than this, the menu groups it into folders (1 – 20, 21 – 40…)."
        }
    }
}
