import QtQuick
import Vantorell.Design

// Where the keyboard is, for a control without a field's border to colour:
// a ring in the colour of a focused field's border.
SurfaceShape {
    cornerRadius: 8
    color: "transparent"
    strokeColor: VTColor.withOpacity(VTColor.accent, 0.7)
    strokeWidth: 2
}
