import QtQuick
import Vantorell.Design

// The application's mark: a shield on the brand gradient. Everything scales
// with size; marks above 40 points glow in the accent colour.
Item {
    id: root

    property real size: 40

    readonly property real cornerRadius: 0.3 * size
    readonly property real strokeWidth: Math.max(size / 48, 0.5)
    readonly property real shadowOpacity: size > 40 ? 0.35 : 0

    implicitWidth: size
    implicitHeight: size

    SurfaceShape {
        width: root.size
        height: root.size
        anchors.centerIn: parent
        cornerRadius: root.cornerRadius
        gradient: VTGradient.brand
        strokeColor: VTColor.withOpacity("white", 0.22)
        strokeWidth: root.strokeWidth
        shadowColor: VTColor.withOpacity(VTColor.accent, root.shadowOpacity)
        shadowRadius: root.size / 6
        shadowOffset: Qt.point(0, root.size / 14)
    }

    Symbol {
        anchors.centerIn: parent
        name: "shield.lefthalf.filled"
        pointSize: 0.52 * root.size
        color: "white"
    }
}
