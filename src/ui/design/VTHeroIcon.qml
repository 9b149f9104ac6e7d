import QtQuick
import Vantorell.Design

// A large gradient tile carrying a symbol, as at the top of the lock screen.
Item {
    id: root

    property string symbol
    property real size: 72

    readonly property real cornerRadius: 0.28 * size
    readonly property real symbolSize: 0.44 * size

    implicitWidth: size
    implicitHeight: size

    SurfaceShape {
        width: root.size
        height: root.size
        anchors.centerIn: parent
        cornerRadius: root.cornerRadius
        gradient: VTGradient.brand
        strokeColor: VTColor.withOpacity("white", 0.2)
        strokeWidth: 1
        shadowColor: VTColor.withOpacity(VTColor.accent, 0.35)
        shadowRadius: 16
        shadowOffset: Qt.point(0, 6)
    }

    Symbol {
        anchors.centerIn: parent
        name: root.symbol
        pointSize: root.symbolSize
        color: "white"
    }
}
