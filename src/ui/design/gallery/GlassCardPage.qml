import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 12

    Caption { text: "Banner: radius 11, content padded 12" }

    GlassCard {
        cornerRadius: 11
        width: 320
        padding: 12
        contentItem: Column {
            spacing: 2
            Text { text: "Capture paused"; font: VTFont.bodyEmphasis; color: VTColor.primary }
            Text { text: "Resumes in 15 minutes"; font: VTFont.micro; color: VTColor.secondary }
        }
    }

    Caption { text: "Hover bar: radius 999 (capsule), padded 3 at the sides" }

    GlassCard {
        cornerRadius: 999
        leftPadding: 3
        rightPadding: 3
        contentItem: Row {
            VTIconButton { icon: "arrow.turn.down.left"; tint: VTColor.accent; help: "Paste" }
            VTIconButton { icon: "pin"; help: "Pin to top" }
            VTIconButton { icon: "star"; help: "Favorite" }
            VTIconButton { icon: "ellipsis"; help: "More actions" }
        }
    }
}
