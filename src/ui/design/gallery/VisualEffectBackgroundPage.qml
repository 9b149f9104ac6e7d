import QtQuick
import Vantorell.Design

Rectangle {
    implicitWidth: 360
    implicitHeight: 140
    color: VTColor.accent

    VisualEffectBackground {
        anchors.fill: parent
        anchors.margins: 16

        Caption {
            anchors.centerIn: parent
            text: "Opaque window colour (on a blue window)"
        }
    }
}
