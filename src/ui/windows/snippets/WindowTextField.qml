import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A single-line field with a rounded border that turns to the accent colour
// while it has the focus.
TextField {
    id: control

    font: VTFont.body
    color: VTColor.primary
    placeholderTextColor: VTColor.secondary
    selectionColor: VTColor.selection
    selectedTextColor: VTColor.primary
    leftPadding: 8
    rightPadding: 8
    topPadding: 5
    bottomPadding: 5
    Accessible.name: placeholderText

    background: SurfaceShape {
        implicitWidth: 120
        cornerRadius: 6
        color: VTColor.material
        strokeColor: control.activeFocus ? VTColor.withOpacity(VTColor.accent, 0.7) : VTColor.border
        strokeWidth: control.activeFocus ? 1.5 : 1
    }
}
