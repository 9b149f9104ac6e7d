import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design

// One section of a grouped form: a plain header over a quiet card holding
// the section's rows, and an optional footer note under it.
ColumnLayout {
    id: root

    property string title
    property string footer
    default property alias rows: rowColumn.data

    Layout.fillWidth: true
    spacing: 6

    Label {
        visible: text.length > 0
        Layout.leftMargin: 4
        text: root.title
        font: VTFont.systemFont(13, Font.DemiBold)
        color: VTColor.primary
        Accessible.role: Accessible.Heading
    }

    SurfaceShape {
        Layout.fillWidth: true
        implicitHeight: rowColumn.implicitHeight + 2 * rowColumn.y
        cornerRadius: 8
        color: VTColor.surface
        strokeColor: VTColor.border
        strokeWidth: 1

        ColumnLayout {
            id: rowColumn
            x: 12
            y: 10
            width: parent.width - 2 * x
            spacing: 10
        }
    }

    Label {
        visible: text.length > 0
        Layout.fillWidth: true
        Layout.leftMargin: 4
        Layout.rightMargin: 4
        text: root.footer
        wrapMode: Text.WordWrap
        font: VTFont.systemFont(10, Font.Normal)
        color: VTColor.secondary
    }
}
