import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design

// A symbol and a short text in one colour, at the help text's size.
RowLayout {
    id: root

    property string icon
    property string text
    property color tint: VTColor.secondary

    spacing: 4

    Symbol {
        name: root.icon
        pointSize: 10
        color: root.tint
    }

    Label {
        Layout.fillWidth: true
        text: root.text
        elide: Text.ElideRight
        font: VTFont.systemFont(10, Font.Normal)
        color: root.tint
    }
}
