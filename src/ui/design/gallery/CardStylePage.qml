import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 12

    Caption { text: "Radius 16, padding 16" }

    CardStyle {
        cornerRadius: 16
        padding: 16
        contentItem: Column {
            spacing: 8
            Text { text: "Everything you copy is encrypted"; font: VTFont.body; color: VTColor.primary }
            Text { text: "Nothing leaves this computer"; font: VTFont.body; color: VTColor.primary }
            Text { text: "Lock it with a passcode"; font: VTFont.body; color: VTColor.primary }
        }
    }

    Caption { text: "Radius 16, padding 12" }

    CardStyle {
        cornerRadius: 16
        padding: 12
        contentItem: Text { text: "Feature list"; font: VTFont.caption; color: VTColor.primary }
    }
}
