import QtQuick
import QtQuick.Layouts
import Vantorell.Design

// One row of the folder sidebar: a symbol and a name on a quiet fill while
// selected, tinted and ringed while the sidebar has the keyboard.
Item {
    id: root

    property string icon
    property string title
    property bool selected: false
    property bool keyboardFocus: false

    signal clicked()
    signal contextMenuRequested(real x, real y)

    implicitHeight: 28
    Accessible.role: Accessible.ListItem
    Accessible.name: title
    Accessible.selected: selected
    Accessible.selectable: true

    SurfaceShape {
        anchors.fill: parent
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        cornerRadius: 6
        color: root.selected ? (root.keyboardFocus ? VTColor.selection : VTColor.surfaceStrong)
            : pointer.containsMouse ? VTColor.hover : "transparent"
        strokeColor: root.selected && root.keyboardFocus ? VTColor.withOpacity(VTColor.accent, 0.7) : "transparent"
        strokeWidth: 1.5
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 16
        spacing: 8

        Symbol {
            name: root.icon
            pointSize: 13
            color: VTColor.accent
        }

        Text {
            Layout.fillWidth: true
            text: root.title
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font: VTFont.body
            color: VTColor.primary
        }
    }

    MouseArea {
        id: pointer
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: mouse => {
            if (mouse.button === Qt.RightButton)
                root.contextMenuRequested(mouse.x, mouse.y)
            else
                root.clicked()
        }
    }
}
