import QtQuick
import Vantorell.Design

// Fills the panel until its screens take over: the backdrop and the mark.
PanelBackground {
    property QtObject appState
    property QtObject settings

    VTBrandMark {
        anchors.centerIn: parent
        size: 64
    }
}
