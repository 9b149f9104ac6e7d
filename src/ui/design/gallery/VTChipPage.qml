import QtQuick
import Vantorell.Design

Column {
    id: page

    property string filter: "all"

    padding: 24
    spacing: 12

    Caption { text: "Filter row with \"All\" selected; click a chip to select it" }

    Row {
        spacing: 6
        VTChip { title: "All"; isSelected: page.filter === "all"; onAction: page.filter = "all" }
        VTChip { title: "Pinned"; icon: "pin.fill"; isSelected: page.filter === "pinned"; onAction: page.filter = "pinned" }
        VTChip { title: "Text"; icon: "text.alignleft"; isSelected: page.filter === "text"; onAction: page.filter = "text" }
        VTChip { title: "Images"; icon: "photo"; isSelected: page.filter === "images"; onAction: page.filter = "images" }
    }

    Caption { text: "Selected with a symbol; unknown symbol (no image, no gap)" }

    Row {
        spacing: 6
        VTChip { title: "Pinned"; icon: "pin.fill"; isSelected: true }
        VTChip { title: "Unknown"; icon: "no.such.symbol" }
    }
}
