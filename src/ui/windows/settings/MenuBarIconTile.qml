import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// One choice of the menu-bar icon: the symbol in a rounded box, marked while
// it is the current one, over its label.
AbstractButton {
    id: control

    property string symbol
    property bool current

    implicitWidth: 80
    implicitHeight: column.implicitHeight
    checkable: false
    checked: current
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.RadioButton
    Accessible.name: text
    Accessible.checked: current

    contentItem: ColumnLayout {
        id: column
        spacing: 4

        SurfaceShape {
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: 48
            implicitHeight: 48
            cornerRadius: 10
            color: control.current ? VTColor.accentSoft : VTColor.surface
            strokeColor: control.current ? VTColor.accent : "transparent"
            strokeWidth: 2

            // Outside the box, so the current tile shows it too.
            FocusRing {
                anchors.fill: parent
                anchors.margins: -4
                cornerRadius: 13
                visible: control.visualFocus
            }

            Symbol {
                anchors.centerIn: parent
                name: control.symbol
                pointSize: 20
                color: VTColor.primary
            }
        }

        Label {
            Layout.alignment: Qt.AlignHCenter
            Layout.maximumWidth: control.width
            text: control.text
            elide: Text.ElideRight
            font: VTFont.systemFont(9, Font.Normal)
            color: VTColor.secondary
        }
    }
}
