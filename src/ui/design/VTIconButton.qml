import QtQuick
import Vantorell.Design
import QtQuick.Controls

// A borderless symbol button with a round highlight under the pointer and a
// help tooltip. Where Tab reaches it (activeFocusOnTab), Space presses it and
// a ring shows it has the keyboard.
Item {
    id: root

    property string icon
    property color tint: VTColor.secondary
    property string help
    readonly property bool hovering: pointer.containsMouse

    signal action()

    implicitWidth: 26
    implicitHeight: 26
    width: 26
    height: 26

    SurfaceShape {
        anchors.fill: parent
        kind: SurfaceShape.Circle
        color: root.hovering ? VTColor.surfaceStrong : "transparent"
        strokeColor: root.activeFocus ? VTColor.withOpacity(VTColor.accent, 0.7) : "transparent"
        strokeWidth: 2
    }

    Symbol {
        anchors.centerIn: parent
        name: root.icon
        pointSize: 11.5
        color: root.tint
    }

    MouseArea {
        id: pointer
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.action()
    }

    Keys.onSpacePressed: root.action()

    Accessible.role: Accessible.Button
    Accessible.name: help
    Accessible.onPressAction: root.action()

    ToolTip.visible: hovering && help !== ""
    ToolTip.delay: 1000
    ToolTip.text: help
}
