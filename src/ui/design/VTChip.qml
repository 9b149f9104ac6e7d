import QtQuick
import Vantorell.Design

// A capsule toggle with an optional symbol and a title. A click only raises
// action(); the caller decides whether the chip becomes selected and passes
// isSelected back.
Item {
    id: root

    property string title
    property string icon
    property bool isSelected: false

    signal action()

    readonly property color foreground: isSelected ? "white" : VTColor.withOpacity(VTColor.primary, 0.8)
    readonly property int fadeDuration: 120

    implicitWidth: label.implicitWidth + 20
    implicitHeight: 24

    SurfaceShape {
        anchors.fill: parent
        kind: SurfaceShape.Capsule
        color: VTColor.surface
        strokeColor: VTColor.border
        strokeWidth: 1
        opacity: 1 - selectedFill.opacity
    }

    SurfaceShape {
        id: selectedFill
        anchors.fill: parent
        kind: SurfaceShape.Capsule
        gradient: VTGradient.brand
        opacity: root.isSelected ? 1 : 0

        Behavior on opacity {
            NumberAnimation { duration: root.fadeDuration; easing.type: Easing.OutQuad }
        }
    }

    Row {
        id: label
        anchors.centerIn: parent
        spacing: 4

        Symbol {
            anchors.verticalCenter: parent.verticalCenter
            visible: valid
            name: root.icon
            pointSize: 10
            color: root.foreground

            Behavior on color {
                ColorAnimation { duration: root.fadeDuration; easing.type: Easing.OutQuad }
            }
        }

        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: root.title
            textFormat: Text.PlainText
            font: VTFont.systemFont(11.5, Font.Medium)
            color: root.foreground

            Behavior on color {
                ColorAnimation { duration: root.fadeDuration; easing.type: Easing.OutQuad }
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        onClicked: root.action()
    }
}
