import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The snippet editor's first column: all snippets, the ungrouped ones and
// every folder, and the bar with the New Folder button.
Rectangle {
    id: root

    required property SnippetManagerViewModel viewModel

    color: VTColor.withOpacity(VTColor.primary, 0.03)

    function select(row) {
        folders.forceActiveFocus()
        if (row !== viewModel.selectedSidebarRow)
            viewModel.selectSidebarRow(row)
    }

    // At the pointer, or under the selected row's title for the keyboard with
    // its first item ready for Return.
    function openFolderMenu(row, x, y) {
        folders.forceActiveFocus()
        folderMenu.folder = row.modelData
        folderMenu.popup(row, x ?? 16, y ?? row.height)
        if (x === undefined)
            folderMenu.currentIndex = 0
    }

    function step(by) {
        viewModel.stepSidebarRow(by)
        const row = viewModel.selectedSidebarRow
        const item = row === 0 ? allRow : row === 1 ? ungroupedRow : folderRows.itemAt(row - 2)
        if (!item)
            return
        // The first row shows with the padding above it.
        const top = row === 0 ? 0 : item.y
        const bottom = item.y + item.height
        if (top < folders.contentY)
            folders.contentY = top
        else if (bottom > folders.contentY + folders.height)
            folders.contentY = bottom - folders.height
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Flickable {
            id: folders
            objectName: "folders"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentHeight: rows.implicitHeight
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { }
            // The window opens with the keyboard here, as the first list.
            focus: true
            activeFocusOnTab: true
            Keys.onUpPressed: root.step(-1)
            Keys.onDownPressed: root.step(1)
            Keys.onPressed: event => {
                const row = folderRows.itemAt(root.viewModel.selectedSidebarRow - 2)
                if (row && (event.key === Qt.Key_Menu
                        || event.key === Qt.Key_F10 && event.modifiers & Qt.ShiftModifier)) {
                    root.openFolderMenu(row)
                    event.accepted = true
                }
            }
            Accessible.role: Accessible.List
            Accessible.name: qsTr("Folders")

            FocusRing {
                width: folders.width
                height: folders.height
                y: folders.contentY
                visible: folders.activeFocus && root.viewModel.selectedSidebarRow < 0
            }

            Column {
                id: rows
                width: parent.width
                topPadding: 10
                bottomPadding: 10

                SidebarRow {
                    id: allRow
                    width: rows.width
                    icon: "tray.full"
                    title: qsTr("All Snippets")
                    selected: root.viewModel.selectedSidebarRow === 0
                    keyboardFocus: folders.activeFocus
                    onClicked: root.select(0)
                }

                SidebarRow {
                    id: ungroupedRow
                    width: rows.width
                    icon: "tray"
                    title: qsTr("Ungrouped")
                    selected: root.viewModel.selectedSidebarRow === 1
                    keyboardFocus: folders.activeFocus
                    onClicked: root.select(1)
                }

                Text {
                    leftPadding: 16
                    topPadding: 14
                    bottomPadding: 4
                    text: qsTr("Folders")
                    textFormat: Text.PlainText
                    font: VTFont.systemFont(11, Font.DemiBold)
                    color: VTColor.secondary
                    Accessible.role: Accessible.Heading
                    Accessible.name: text
                }

                Repeater {
                    id: folderRows
                    model: root.viewModel.allFolderNames

                    SidebarRow {
                        id: folderRow
                        required property string modelData
                        required property int index
                        width: rows.width
                        icon: "folder"
                        title: modelData
                        selected: root.viewModel.selectedSidebarRow === index + 2
                        keyboardFocus: folders.activeFocus
                        onClicked: root.select(index + 2)
                        onContextMenuRequested: (x, y) => root.openFolderMenu(folderRow, x, y)
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: VTColor.border
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.topMargin: 8
            Layout.bottomMargin: 8
            spacing: 8

            VTIconButton {
                icon: "folder.badge.plus"
                help: qsTr("New Folder")
                activeFocusOnTab: true
                onAction: root.viewModel.showNewFolderSheet()
            }

            Item {
                Layout.fillWidth: true
            }
        }
    }

    // One menu for every folder row: it outlives the row Delete Folder takes
    // away, so the keyboard goes back to the list.
    WindowMenu {
        id: folderMenu

        property string folder

        onClosed: folders.forceActiveFocus()

        WindowMenuItem {
            text: qsTr("Rename…")
            // The prompt is modal: the menu closes first.
            onTriggered: Qt.callLater(root.viewModel.promptRenameFolder, folderMenu.folder)
        }
        DestructiveMenuItem {
            text: qsTr("Delete Folder")
            onTriggered: root.viewModel.deleteFolder(folderMenu.folder)
        }
    }
}
