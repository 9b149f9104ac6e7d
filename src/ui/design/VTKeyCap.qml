import QtQuick
import Vantorell.Design
import QtQuick.Layouts

// A small legend drawn like a key of the keyboard. It always takes its ideal
// size: a long legend makes the cap grow, never truncate or wrap.
Item {
    id: root

    property string text

    implicitWidth: legend.implicitWidth + 10
    implicitHeight: legend.implicitHeight + 3
    Layout.minimumWidth: implicitWidth
    Layout.maximumWidth: implicitWidth
    Layout.minimumHeight: implicitHeight
    Layout.maximumHeight: implicitHeight

    SurfaceShape {
        anchors.fill: parent
        cornerRadius: 4
        color: VTColor.surface
        strokeColor: VTColor.border
        strokeWidth: 1
    }

    Text {
        id: legend
        anchors.centerIn: parent
        text: root.text
        textFormat: Text.PlainText
        wrapMode: Text.NoWrap
        font: VTFont.systemFont(10, Font.Medium)
        color: VTColor.secondary
    }
}
