import QtQuick
import QtQuick.Controls
import Vantorell.Design

// An item of a WindowMenu, highlighted as the window's pickers highlight.
MenuItem {
    id: control

    property color tint: VTColor.primary

    font: VTFont.body
    implicitHeight: 32

    contentItem: Text {
        text: control.text
        textFormat: Text.PlainText
        font: control.font
        color: control.highlighted ? "white" : control.tint
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }

    background: Rectangle {
        implicitWidth: 192
        radius: 4
        color: control.highlighted ? VTColor.accent : "transparent"
    }
}
