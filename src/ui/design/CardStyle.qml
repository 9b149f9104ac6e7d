import QtQuick
import Vantorell.Design
import QtQuick.Controls

// Content on a quiet filled card with a hairline border inside its edge; the
// card's outer size is the content's size plus the padding.
Control {
    id: root

    property real cornerRadius: 16

    padding: 16
    background: SurfaceShape {
        cornerRadius: root.cornerRadius
        color: VTColor.surface
        strokeColor: VTColor.border
        strokeWidth: 1
    }
}
