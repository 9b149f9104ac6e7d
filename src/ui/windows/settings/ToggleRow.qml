import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// A setting that is on or off. The switch always shows checked, the stored
// value: a change the owner refuses or defers shows as no change.
RowLayout {
    id: root

    property string label
    property bool checked

    signal toggled(bool on)

    Layout.fillWidth: true
    spacing: 12

    Label {
        Layout.fillWidth: true
        text: root.label
        elide: Text.ElideRight
        font: VTFont.body
        color: root.enabled ? VTColor.primary : VTColor.secondary
    }

    Switch {
        id: control
        objectName: "switch"
        checked: root.checked
        padding: 0
        implicitWidth: 32
        implicitHeight: 18
        Layout.alignment: Qt.AlignVCenter
        Accessible.name: root.label
        onToggled: {
            root.toggled(checked)
            // A click has replaced the binding with the clicked value.
            checked = Qt.binding(() => root.checked)
        }

        indicator: SurfaceShape {
            width: control.width
            height: control.height
            kind: SurfaceShape.Capsule
            color: control.checked ? VTColor.accent : VTColor.surfaceStrong
            strokeColor: control.checked ? "transparent" : VTColor.border
            strokeWidth: 1
            opacity: control.enabled ? 1 : 0.45

            SurfaceShape {
                x: control.checked ? parent.width - width - 2 : 2
                anchors.verticalCenter: parent.verticalCenter
                width: 14
                height: 14
                kind: SurfaceShape.Circle
                color: "white"
                strokeColor: VTColor.withOpacity("black", 0.12)
                strokeWidth: 0.5

                Behavior on x {
                    NumberAnimation { duration: 120; easing.type: Easing.OutQuad }
                }
            }
        }
        contentItem: Item {}

        FocusRing {
            anchors.fill: parent
            anchors.margins: -3
            kind: SurfaceShape.Capsule
            visible: control.visualFocus
        }
    }
}
