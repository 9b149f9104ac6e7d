import QtQuick
import QtQuick.Controls
import Vantorell.Design

// The list header's add button: a white plus on a brand-gradient disc,
// ringed when Tab reaches it.
Item {
    id: root

    signal action()

    implicitWidth: 26
    implicitHeight: 26
    activeFocusOnTab: true
    Keys.onSpacePressed: root.action()
    Accessible.role: Accessible.Button
    Accessible.name: qsTr("New Snippet")
    Accessible.onPressAction: root.action()

    SurfaceShape {
        anchors.fill: parent
        kind: SurfaceShape.Circle
        gradient: VTGradient.brand
        opacity: pointer.pressed ? 0.8 : 1
    }

    FocusRing {
        anchors.fill: parent
        anchors.margins: -3
        kind: SurfaceShape.Circle
        visible: root.activeFocus
    }

    Symbol {
        anchors.centerIn: parent
        name: "plus"
        pointSize: 12
        color: "white"
    }

    MouseArea {
        id: pointer
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.action()
    }

    ToolTip.visible: pointer.containsMouse
    ToolTip.delay: 1000
    ToolTip.text: Accessible.name
}
