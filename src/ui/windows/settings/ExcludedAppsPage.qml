import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The Excluded Apps section: the applications whose copies are never
// captured, with adding and removing them.
ColumnLayout {
    id: page

    property QtObject settings
    property SettingsWindowContext context

    spacing: 12

    ExcludedAppsTab {
        id: tab
        context: page.context
    }

    Label {
        Layout.fillWidth: true
        Layout.topMargin: 12
        Layout.leftMargin: 28
        Layout.rightMargin: 28
        text: "Vantorell ignores anything you copy while these apps are in front. Password managers are excluded"
            + " by default."
        wrapMode: Text.WordWrap
        font: VTFont.systemFont(12, Font.Normal)
        color: VTColor.secondary
    }

    SurfaceShape {
        Layout.fillWidth: true
        Layout.fillHeight: true
        Layout.leftMargin: 28
        Layout.rightMargin: 28
        cornerRadius: 11
        color: VTColor.material
        strokeColor: VTColor.border
        strokeWidth: 1

        ListView {
            id: list
            objectName: "apps"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            topMargin: 5
            bottomMargin: 5
            boundsBehavior: Flickable.StopAtBounds
            model: tab.rows
            // The keyboard's row is the list's current one, which Qt Quick
            // gives the focus that assistive tools report.
            currentIndex: tab.currentRow
            // The keys go through the tab, which moves the selection with
            // the row; the view's own would move the row alone.
            keyNavigationEnabled: false
            activeFocusOnTab: true
            ScrollBar.vertical: ScrollBar { }
            Accessible.role: Accessible.List
            Accessible.name: "Excluded apps"
            Keys.onPressed: event => {
                if (event.key === Qt.Key_Up || event.key === Qt.Key_Down) {
                    tab.stepRow(event.key === Qt.Key_Up ? -1 : 1, event.modifiers)
                    if (currentIndex >= 0)
                        positionViewAtIndex(currentIndex, ListView.Contain)
                } else if (event.key === Qt.Key_Space) {
                    tab.selectCurrentRow(event.modifiers)
                } else if (event.key === Qt.Key_Delete || event.key === Qt.Key_Backspace) {
                    tab.deleteSelectedApps()
                } else {
                    return
                }
                event.accepted = true
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
                required property string name
                required property string bundleIdentifier
                required property string iconName
                required property bool selected

                width: ListView.view.width
                implicitHeight: 30
                Accessible.role: Accessible.ListItem
                Accessible.name: name
                Accessible.selected: selected
                Accessible.selectable: true
                Accessible.focusable: true

                SurfaceShape {
                    anchors.fill: parent
                    anchors.leftMargin: 5
                    anchors.rightMargin: 5
                    cornerRadius: 6
                    color: row.selected ? VTColor.selection : row.index % 2 === 1 ? VTColor.surface : "transparent"
                    strokeColor: row.ListView.isCurrentItem && list.activeFocus
                        ? VTColor.withOpacity(VTColor.accent, 0.7) : "transparent"
                    strokeWidth: 1.5
                }

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 14
                    anchors.rightMargin: 14
                    spacing: 8

                    Item {
                        implicitWidth: 20
                        implicitHeight: 20

                        ApplicationIcon {
                            id: icon
                            anchors.fill: parent
                            source: row.iconName
                        }

                        Symbol {
                            visible: !icon.valid
                            anchors.centerIn: parent
                            name: "app.dashed"
                            pointSize: 18
                            color: VTColor.secondary
                        }
                    }

                    Label {
                        Layout.fillWidth: true
                        text: row.name
                        textFormat: Text.PlainText
                        elide: Text.ElideRight
                        font: VTFont.body
                        color: VTColor.primary
                    }

                    Label {
                        Layout.maximumWidth: row.width / 2
                        text: row.bundleIdentifier
                        textFormat: Text.PlainText
                        elide: Text.ElideMiddle
                        font: VTFont.monospacedFont(10, Font.Normal)
                        color: VTColor.secondary
                    }
                }

                MouseArea {
                    anchors.fill: parent
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onClicked: mouse => {
                        list.forceActiveFocus()
                        if (mouse.button === Qt.RightButton)
                            rowMenu.popup(row, mouse.x, mouse.y)
                        else
                            tab.selectRow(row.index, mouse.modifiers)
                    }
                }

                WindowMenu {
                    id: rowMenu

                    DestructiveMenuItem {
                        text: "Remove"
                        onTriggered: tab.removeExcludedApp(row.index)
                    }
                }
            }
        }
    }

    RowLayout {
        Layout.fillWidth: true
        Layout.leftMargin: 28
        Layout.rightMargin: 28
        Layout.bottomMargin: 12
        spacing: 8

        FormButton {
            objectName: "addApp"
            text: "Add App…"
            symbol: "plus"
            onClicked: tab.addExcludedApps()
        }

        FormButton {
            objectName: "remove"
            text: "Remove"
            symbol: "minus"
            enabled: tab.hasSelection
            // Disabled once nothing is selected, the button cannot keep the
            // keyboard: the list takes it back.
            onClicked: {
                tab.deleteSelectedApps()
                list.forceActiveFocus()
            }
        }

        Label {
            Layout.fillWidth: true
            text: "Right-click an app, or select it and press Delete, to remove it."
            horizontalAlignment: Text.AlignRight
            wrapMode: Text.WordWrap
            font: VTFont.micro
            color: VTColor.secondary
        }
    }
}
