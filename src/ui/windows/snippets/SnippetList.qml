import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The snippet editor's second column: the selected folder's title with the
// add button, then its snippets by title.
Rectangle {
    id: root

    required property SnippetManagerViewModel viewModel

    color: VTColor.material

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.topMargin: 10
            Layout.bottomMargin: 10
            spacing: 8

            Text {
                Layout.fillWidth: true
                text: root.viewModel.selectionTitle
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font: VTFont.headline
                color: VTColor.primary
                Accessible.role: Accessible.Heading
                Accessible.name: text
            }

            AddSnippetButton {
                onAction: root.viewModel.startNewSnippet()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: VTColor.border
        }

        VTEmptyState {
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: list.count === 0
            icon: "note.text"
            title: qsTr("No snippets here")
            subtitle: qsTr("Click + to add one.")
        }

        ListView {
            id: list
            objectName: "snippets"
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: count > 0
            clip: true
            topMargin: 6
            bottomMargin: 6
            boundsBehavior: Flickable.StopAtBounds
            model: root.viewModel.snippetRows
            currentIndex: root.viewModel.selectedSnippetRow
            highlightFollowsCurrentItem: false
            ScrollBar.vertical: ScrollBar { }
            activeFocusOnTab: true
            // The keys go through the view model, which saves before it
            // switches; the view's own would only move its current row.
            keyNavigationEnabled: false
            Keys.onUpPressed: step(-1)
            Keys.onDownPressed: step(1)
            Keys.onPressed: event => {
                if (currentItem && (event.key === Qt.Key_Menu
                        || event.key === Qt.Key_F10 && event.modifiers & Qt.ShiftModifier)) {
                    openRowMenu(currentItem)
                    event.accepted = true
                }
            }
            Accessible.role: Accessible.List
            Accessible.name: root.viewModel.selectionTitle

            // At the pointer, or under the selected row's title for the
            // keyboard with its first item ready for Return.
            function openRowMenu(row, x, y) {
                forceActiveFocus()
                rowMenu.row = row.index
                rowMenu.popup(row, x ?? 14, y ?? row.height)
                if (x === undefined)
                    rowMenu.currentIndex = 0
            }

            function step(by) {
                root.viewModel.stepSnippetRow(by)
                if (currentIndex >= 0)
                    positionViewAtIndex(currentIndex, ListView.Contain)
            }

            FocusRing {
                parent: list
                anchors.fill: parent
                anchors.margins: 2
                visible: list.activeFocus && list.currentIndex < 0
            }

            delegate: Item {
                id: row
                required property int index
                required property string title
                required property string preview
                readonly property bool selected: index === root.viewModel.selectedSnippetRow
                readonly property bool keyboardFocus: selected && list.activeFocus

                width: ListView.view.width
                implicitHeight: lines.implicitHeight + 14
                Accessible.role: Accessible.ListItem
                Accessible.name: title
                Accessible.selected: selected
                Accessible.selectable: true

                SurfaceShape {
                    anchors.fill: parent
                    anchors.leftMargin: 6
                    anchors.rightMargin: 6
                    cornerRadius: 6
                    color: row.selected ? VTColor.selection : pointer.containsMouse ? VTColor.hover : "transparent"
                    strokeColor: row.keyboardFocus ? VTColor.withOpacity(VTColor.accent, 0.7) : "transparent"
                    strokeWidth: 1.5
                }

                Column {
                    id: lines
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    anchors.leftMargin: 14
                    anchors.rightMargin: 14
                    spacing: 2

                    Text {
                        width: parent.width
                        text: row.title
                        textFormat: Text.PlainText
                        maximumLineCount: 1
                        elide: Text.ElideRight
                        font: VTFont.systemFont(12, Font.Medium)
                        color: VTColor.primary
                    }

                    Text {
                        width: parent.width
                        text: row.preview
                        textFormat: Text.PlainText
                        maximumLineCount: 1
                        elide: Text.ElideRight
                        font: VTFont.caption
                        color: VTColor.secondary
                    }
                }

                MouseArea {
                    id: pointer
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onClicked: mouse => {
                        list.forceActiveFocus()
                        if (mouse.button === Qt.RightButton)
                            list.openRowMenu(row, mouse.x, mouse.y)
                        else
                            root.viewModel.selectSnippetRow(row.index)
                    }
                }
            }
        }
    }

    // One menu for every row: it outlives the row Delete takes away, so the
    // keyboard goes back to the list.
    WindowMenu {
        id: rowMenu

        property int row: -1

        onClosed: list.forceActiveFocus()

        DestructiveMenuItem {
            text: qsTr("Delete")
            onTriggered: root.viewModel.deleteSnippetRow(rowMenu.row)
        }
    }
}
