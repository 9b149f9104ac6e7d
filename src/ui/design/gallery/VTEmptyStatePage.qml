import QtQuick
import Vantorell.Design

Row {
    padding: 24
    spacing: 16

    Column {
        spacing: 6
        Caption { text: "With subtitle" }
        Rectangle {
            width: 260; height: 240
            color: "transparent"
            border.color: VTColor.border
            VTEmptyState {
                anchors.fill: parent
                icon: "clipboard"
                title: "Nothing copied yet"
                subtitle: "Copy something and it appears here, encrypted."
            }
        }
    }

    Column {
        spacing: 6
        Caption { text: "Without subtitle" }
        Rectangle {
            width: 260; height: 240
            color: "transparent"
            border.color: VTColor.border
            VTEmptyState { anchors.fill: parent; icon: "magnifyingglass"; title: "No matches" }
        }
    }
}
