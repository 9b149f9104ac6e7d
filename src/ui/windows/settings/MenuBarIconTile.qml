import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design

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
            strokeColor: control.current ? VTColor.accent
                : control.visualFocus ? VTColor.withOpacity(VTColor.accent, 0.5) : "transparent"
            strokeWidth: 2

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
