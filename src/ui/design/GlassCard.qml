import QtQuick
import Vantorell.Design
import QtQuick.Controls

// Content on a translucent surface, without border or shadow. The caller pads
// the content itself.
Control {
    id: root

    property real cornerRadius: 11

    padding: 0
    background: SurfaceShape {
        cornerRadius: root.cornerRadius
        color: VTColor.material
    }
}
