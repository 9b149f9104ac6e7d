import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 12

    Caption { text: "Quick-paste shortcuts and a long legend that grows the cap" }

    Row {
        spacing: 10
        VTKeyCap { text: "⌘1" }
        VTKeyCap { text: "⌘9" }
        VTKeyCap { text: "⌃⌥⇧⌘V" }
        VTKeyCap { text: "Control Option Shift Command V" }
    }
}
