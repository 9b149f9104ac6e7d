import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 10

    Caption { text: "Empty, without focus: placeholder" }
    VTSearchField { width: 340; placeholder: "Search clipboard…" }

    Caption { text: "With a query, without focus: clear button" }
    VTSearchField { width: 340; placeholder: "Search clipboard…"; text: "invoice" }

    Caption { text: "Focused (the last field shown takes the focus)" }
    VTSearchField { width: 340; placeholder: "Search clipboard…"; text: "ssh key" }
}
