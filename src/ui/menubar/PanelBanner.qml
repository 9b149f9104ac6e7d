import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design

// A notice above the history: a symbol on a warning-coloured disc, a title,
// a line of detail and one button.
GlassCard {
    id: root

    property string symbol
    property real symbolSize: 12
    property string title
    property string detail
    property string actionTitle

    signal action()

    cornerRadius: 11
    padding: 12

    contentItem: RowLayout {
        spacing: 12

        Item {
            Layout.preferredWidth: 30
            Layout.preferredHeight: 30

            SurfaceShape {
                anchors.fill: parent
                kind: SurfaceShape.Circle
                color: VTColor.withOpacity(VTColor.warning, 0.15)
            }

            Symbol {
                anchors.centerIn: parent
                name: root.symbol
                pointSize: root.symbolSize
                color: VTColor.warning
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 1

            VTText {
                Layout.fillWidth: true
                text: root.title
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font: VTFont.systemFont(12, Font.DemiBold)
                color: VTColor.primary
            }

            VTText {
                Layout.fillWidth: true
                text: root.detail
                textFormat: Text.PlainText
                wrapMode: Text.WordWrap
                font: VTFont.micro
                color: VTColor.secondary
            }
        }

        ScreenButton {
            Layout.leftMargin: 4
            text: root.actionTitle
            prominent: true
            controlSize: "small"
            onClicked: root.action()
        }
    }
}
