import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A check box with its title, in the window's colours.
CheckBox {
    id: control

    font: VTFont.body
    spacing: 6
    padding: 2

    indicator: SurfaceShape {
        implicitWidth: 16
        implicitHeight: 16
        x: control.leftPadding
        y: (control.height - height) / 2
        cornerRadius: 4
        color: control.checked ? VTColor.accent : VTColor.surface
        strokeColor: control.checked ? "transparent" : VTColor.withOpacity(VTColor.primary, 0.25)
        strokeWidth: 1

        FocusRing {
            anchors.fill: parent
            anchors.margins: -3
            cornerRadius: 7
            visible: control.visualFocus
        }

        Symbol {
            anchors.centerIn: parent
            visible: control.checked
            name: "checkmark"
            pointSize: 11
            color: "white"
        }
    }

    contentItem: Text {
        leftPadding: control.indicator.width + control.spacing
        text: control.text
        textFormat: Text.PlainText
        font: control.font
        color: VTColor.primary
        verticalAlignment: Text.AlignVCenter
    }
}
