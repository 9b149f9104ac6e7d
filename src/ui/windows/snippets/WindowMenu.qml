import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A row's menu in the window's colours: Qt's own is drawn from the
// application palette, light in either appearance.
Menu {
    padding: 4

    background: SurfaceShape {
        implicitWidth: 200
        cornerRadius: 6
        color: VTColor.panel
        strokeColor: VTColor.border
        strokeWidth: 1
        shadowColor: VTColor.withOpacity("black", 0.2)
        shadowRadius: 8
        shadowOffset: Qt.point(0, 3)
    }
}
