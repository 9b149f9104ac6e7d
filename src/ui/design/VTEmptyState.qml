import QtQuick
import Vantorell.Design
import QtQuick.Layouts

// What a list shows when it has nothing to show: a symbol on a disc, a title
// and an optional explanation, centred in the space given.
Item {
    id: root

    property string icon
    property string title
    property string subtitle

    implicitWidth: column.implicitWidth + 40
    implicitHeight: column.implicitHeight + 40

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 20
        spacing: 12

        Item {
            Layout.fillHeight: true
        }

        SurfaceShape {
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: 64
            implicitHeight: 64
            kind: SurfaceShape.Circle
            color: VTColor.surface

            Symbol {
                anchors.centerIn: parent
                name: root.icon
                pointSize: 26
                color: VTColor.secondary
            }
        }

        VTText {
            Layout.alignment: Qt.AlignHCenter
            text: root.title
            textFormat: Text.PlainText
            font: VTFont.bodyEmphasis
            color: VTColor.withOpacity(VTColor.primary, 0.85)
        }

        VTText {
            Layout.fillWidth: true
            visible: root.subtitle !== ""
            text: root.subtitle
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            font: VTFont.caption
            color: VTColor.secondary
        }

        Item {
            Layout.fillHeight: true
        }
    }
}
