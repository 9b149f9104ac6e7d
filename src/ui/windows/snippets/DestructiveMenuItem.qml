import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A menu item whose title is red: its action removes something at once.
MenuItem {
    id: control

    contentItem: Text {
        text: control.text
        textFormat: Text.PlainText
        font: control.font
        color: control.highlighted ? control.palette.highlightedText : VTColor.danger
        verticalAlignment: Text.AlignVCenter
    }
}
