import QtQuick
import Vantorell.Design

// The panel's backdrop. Translucency behind a window needs a compositor that
// we cannot count on, so the backdrop is the opaque window colour.
Rectangle {
    color: VTColor.panel
}
