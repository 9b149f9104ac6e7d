import QtQuick
import Vantorell.Design

Rectangle {
    implicitWidth: 360
    implicitHeight: 140
    color: VTColor.warning

    PanelBackground {
        anchors.fill: parent
        anchors.margins: 16

        Caption {
            anchors.centerIn: parent
            text: "The panel's opaque backdrop (on an orange window)"
        }
    }
}
