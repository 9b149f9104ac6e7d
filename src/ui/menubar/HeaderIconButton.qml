import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A round symbol button of the panel's header, named by its tooltip.
Item {
    id: root

    property string symbol
    property string help

    signal action()

    implicitWidth: 28
    implicitHeight: 28

    Accessible.role: Accessible.Button
    Accessible.name: help
    Accessible.onPressAction: root.action()

    SurfaceShape {
        anchors.fill: parent
        kind: SurfaceShape.Circle
        color: pointer.containsMouse ? VTColor.surfaceStrong : VTColor.surface
    }

    Symbol {
        anchors.centerIn: parent
        name: root.symbol
        pointSize: 12.5
        color: VTColor.secondary
    }

    MouseArea {
        id: pointer
        anchors.fill: parent
        hoverEnabled: true
        onClicked: root.action()
    }

    ToolTip.visible: pointer.containsMouse
    ToolTip.delay: 1000
    ToolTip.text: help
}
