import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 12

    Caption { text: "Paste, pin, starred, more; the pointer rests on the second" }

    Row {
        spacing: 4
        VTIconButton { icon: "arrow.turn.down.left"; tint: VTColor.accent; help: "Paste" }
        VTIconButton { objectName: "pointer"; icon: "pin"; help: "Pin to top" }
        VTIconButton { icon: "star.fill"; tint: "#ffcc00"; help: "Favorite" }
        VTIconButton { icon: "ellipsis"; help: "More actions" }
    }
}
