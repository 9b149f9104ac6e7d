import QtQuick
import Vantorell.Design
import QtQuick.Controls
import QtQuick.Layouts

// The panel's search box. It takes the keyboard focus whenever it comes on
// screen, so typing goes straight into the query, and its outline turns to the
// accent colour while it has focus.
Item {
    id: root

    property string text
    property string placeholder
    readonly property bool focused: field.activeFocus

    function takeFocus() {
        if (visible && Window.window && Window.window.visible)
            field.forceActiveFocus()
    }

    implicitWidth: 240
    implicitHeight: 36
    height: 36

    onVisibleChanged: takeFocus()
    Component.onCompleted: takeFocus()
    Window.onWindowChanged: takeFocus()

    Connections {
        target: root.Window.window
        function onVisibleChanged() { root.takeFocus() }
    }

    SurfaceShape {
        anchors.fill: parent
        cornerRadius: 11
        color: VTColor.surface
        strokeColor: root.focused ? VTColor.withOpacity(VTColor.accent, 0.7) : VTColor.border
        strokeWidth: root.focused ? 1.5 : 1

        Behavior on strokeColor {
            ColorAnimation { duration: 150; easing.type: Easing.OutQuad }
        }
        Behavior on strokeWidth {
            NumberAnimation { duration: 150; easing.type: Easing.OutQuad }
        }
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 8

        Symbol {
            name: "magnifyingglass"
            pointSize: 13
            color: root.focused ? VTColor.accent : VTColor.secondary

            Behavior on color {
                ColorAnimation { duration: 150; easing.type: Easing.OutQuad }
            }
        }

        TextField {
            id: field
            objectName: "field"
            Layout.fillWidth: true
            padding: 0
            background: null
            text: root.text
            placeholderText: root.placeholder
            Accessible.name: root.placeholder
            placeholderTextColor: VTColor.secondary
            color: VTColor.primary
            selectionColor: VTColor.selection
            selectedTextColor: VTColor.primary
            font: VTFont.systemFont(13.5, Font.Normal)
            onTextEdited: root.text = text
        }

        Symbol {
            id: clearButton
            objectName: "clearButton"
            visible: root.text !== ""
            name: "xmark.circle.fill"
            pointSize: 13
            color: VTColor.secondary

            MouseArea {
                id: clearArea
                anchors.fill: parent
                hoverEnabled: true
                onClicked: root.text = ""
            }

            ToolTip.visible: clearArea.containsMouse
            ToolTip.delay: 1000
            ToolTip.text: qsTr("Clear search")
        }
    }
}
