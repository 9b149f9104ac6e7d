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
        if (row !== viewModel.selectedSidebarRow)
            viewModel.selectSidebarRow(row)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Flickable {
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentHeight: rows.implicitHeight
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { }

            Column {
                id: rows
                width: parent.width
                topPadding: 10
                bottomPadding: 10

                SidebarRow {
                    width: rows.width
                    icon: "tray.full"
                    title: qsTr("All Snippets")
                    selected: root.viewModel.selectedSidebarRow === 0
                    onClicked: root.select(0)
                }

                SidebarRow {
                    width: rows.width
                    icon: "tray"
                    title: qsTr("Ungrouped")
                    selected: root.viewModel.selectedSidebarRow === 1
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
                    model: root.viewModel.allFolderNames

                    SidebarRow {
                        id: folderRow
                        required property string modelData
                        required property int index
                        width: rows.width
                        icon: "folder"
                        title: modelData
                        selected: root.viewModel.selectedSidebarRow === index + 2
                        onClicked: root.select(index + 2)
                        onContextMenuRequested: (x, y) => folderMenu.popup(folderRow, x, y)

                        Menu {
                            id: folderMenu

                            MenuItem {
                                text: qsTr("Rename…")
                                // The prompt is modal: the menu closes first.
                                onTriggered: Qt.callLater(root.viewModel.promptRenameFolder, folderRow.modelData)
                            }
                            DestructiveMenuItem {
                                text: qsTr("Delete Folder")
                                onTriggered: root.viewModel.deleteFolder(folderRow.modelData)
                            }
                        }
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
                Accessible.role: Accessible.Button
                Accessible.name: help
                onAction: root.viewModel.showNewFolderSheet()
            }

            Item {
                Layout.fillWidth: true
            }
        }
    }
}
