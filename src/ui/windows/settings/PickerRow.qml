import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// A setting with a fixed list of choices. It writes only when the user picks
// one; a stored value that is none of them selects nothing and stays.
RowLayout {
    id: root

    property string label
    property var choices: []
    // -1: the stored value is none of the choices.
    property int selectedIndex: -1

    signal chosen(int index)

    Layout.fillWidth: true
    spacing: 12

    Label {
        Layout.fillWidth: true
        text: root.label
        elide: Text.ElideRight
        font: VTFont.body
        color: root.enabled ? VTColor.primary : VTColor.secondary
    }

    TextMetrics {
        id: widest
        font: VTFont.body
        text: root.choices.reduce((longest, choice) => choice.length > longest.length ? choice : longest, "")
    }

    WindowComboBox {
        id: control
        objectName: "picker"
        model: root.choices
        currentIndex: root.selectedIndex
        displayText: currentIndex < 0 ? "" : currentText
        Layout.preferredWidth: Math.max(120, Math.ceil(widest.advanceWidth) + leftPadding + rightPadding + 12)
        topPadding: 3
        bottomPadding: 3
        Accessible.name: root.label
        onActivated: index => {
            root.chosen(index)
            // Choosing has replaced the binding with the chosen row.
            currentIndex = Qt.binding(() => root.selectedIndex)
        }
    }
}
