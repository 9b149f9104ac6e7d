import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 12

    Caption { text: "Sizes 23, 28, 40 (no glow), 41, 64 and 96" }

    Row {
        spacing: 28
        VTBrandMark { size: 23; anchors.verticalCenter: parent.verticalCenter }
        VTBrandMark { size: 28; anchors.verticalCenter: parent.verticalCenter }
        VTBrandMark { size: 40; anchors.verticalCenter: parent.verticalCenter }
        VTBrandMark { size: 41; anchors.verticalCenter: parent.verticalCenter }
        VTBrandMark { size: 64; anchors.verticalCenter: parent.verticalCenter }
        VTBrandMark { size: 96; anchors.verticalCenter: parent.verticalCenter }
    }

    Item { width: 1; height: 16 }
}
