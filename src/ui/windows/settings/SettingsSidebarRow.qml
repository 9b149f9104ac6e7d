import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design

// A section in the settings sidebar: its badge and title, the whole row one
// click target.
AbstractButton {
    id: row

    property string symbol
    property color badge
    property bool selected

    Layout.fillWidth: true
    Layout.leftMargin: 8
    Layout.rightMargin: 8
    leftPadding: 8
    rightPadding: 8
    topPadding: 5
    bottomPadding: 5
    focusPolicy: Qt.TabFocus

    background: SurfaceShape {
        cornerRadius: 8
        color: row.selected ? VTColor.surfaceStrong : "transparent"
        strokeColor: row.visualFocus ? VTColor.accent : "transparent"
        strokeWidth: 1
    }

    contentItem: RowLayout {
        spacing: 10

        SurfaceShape {
            implicitWidth: 22
            implicitHeight: 22
            cornerRadius: 6
            color: row.badge

            Symbol {
                anchors.centerIn: parent
                name: row.symbol
                pointSize: 11
                color: "white"
            }
        }

        Label {
            Layout.fillWidth: true
            text: row.text
            elide: Text.ElideRight
            font: VTFont.systemFont(12.5, row.selected ? Font.DemiBold : Font.Normal)
            color: VTColor.primary
        }
    }
}
