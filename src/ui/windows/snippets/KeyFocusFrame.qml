import QtQuick
import Vantorell.Design

// The keyboard focus of a list that has no row selected: a ring just inside
// the list's edge, in the colour of a focused field's border.
SurfaceShape {
    cornerRadius: 8
    color: "transparent"
    strokeColor: VTColor.withOpacity(VTColor.accent, 0.7)
    strokeWidth: 2
}
