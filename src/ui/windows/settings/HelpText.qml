import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design

// A line explaining the control above it, as a row of its own.
Label {
    Layout.fillWidth: true
    wrapMode: Text.WordWrap
    font: VTFont.systemFont(10, Font.Normal)
    color: VTColor.secondary
}
