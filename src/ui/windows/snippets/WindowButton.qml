import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A push button of the windows: bordered, filled with the accent colour when
// prominent, with a red title when destructive, ringed when Tab reaches it.
Button {
    id: control

    property bool prominent: false
    property bool destructive: false

    font: VTFont.body
    topPadding: 4
    bottomPadding: 4
    leftPadding: 14
    rightPadding: 14

    contentItem: Text {
        text: control.text
        textFormat: Text.PlainText
        font: control.font
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        opacity: control.enabled ? 1 : 0.45
        color: control.prominent ? "white" : control.destructive ? VTColor.danger : VTColor.primary
    }

    background: SurfaceShape {
        implicitWidth: 64
        implicitHeight: 24
        cornerRadius: 6
        color: control.prominent
            ? VTColor.withOpacity(VTColor.accent, control.enabled ? (control.down ? 0.85 : 1) : 0.4)
            : control.down ? VTColor.surfaceStrong : VTColor.surface
        strokeColor: control.prominent ? "transparent" : VTColor.border
        strokeWidth: 1

        FocusRing {
            anchors.fill: parent
            anchors.margins: -3
            cornerRadius: 9
            visible: control.visualFocus
        }
    }
}
