import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A push button of the panel's screens: "prominent" fills it with the accent
// colour, else it is a bordered one on the surface fill. Three sizes; with
// busy set a small spinner stands before the title.
Button {
    id: control

    property bool prominent: false
    // "small", "regular" or "large".
    property string controlSize: "regular"
    property bool busy: false
    // A symbol before the title; empty for none.
    property string symbol
    // A fixed width for the spinner and title together.
    property real labelWidth: 0

    readonly property real controlHeight: controlSize === "small" ? 22 : controlSize === "large" ? 32 : 26
    readonly property color foreground: prominent ? "white" : VTColor.primary

    implicitHeight: controlHeight
    implicitWidth: Math.max(controlHeight, implicitContentWidth + leftPadding + rightPadding)
    leftPadding: controlSize === "small" ? 10 : 14
    rightPadding: leftPadding
    topPadding: 0
    bottomPadding: 0
    // A click leaves the keyboard focus where it was, in the field typed
    // into; Tab still reaches the button.
    focusPolicy: Qt.TabFocus
    opacity: enabled ? 1 : 0.45
    font: VTFont.systemFont(controlSize === "small" ? 11.5 : 13, controlSize === "small" ? Font.Medium : Font.DemiBold)

    Accessible.name: text

    contentItem: Item {
        implicitWidth: control.labelWidth > 0 ? control.labelWidth : label.implicitWidth
        implicitHeight: label.implicitHeight

        Row {
            id: label
            anchors.centerIn: parent
            spacing: 4

            BusyIndicator {
                anchors.verticalCenter: parent.verticalCenter
                visible: control.busy
                running: control.busy
                width: 16
                height: 16
                padding: 0
                scale: 0.7
                palette.dark: control.foreground
                // Part of the button, which assistive tools read as one.
                Accessible.ignored: true
            }

            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                visible: valid
                name: control.symbol
                pointSize: control.controlSize === "small" ? 11 : 14
                color: control.foreground
            }

            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: control.text
                textFormat: Text.PlainText
                font: control.font
                color: control.foreground
            }
        }
    }

    background: SurfaceShape {
        cornerRadius: control.controlSize === "large" ? 8 : 6
        color: control.prominent
            ? (control.down ? Qt.darker(VTColor.accent, 1.15) : VTColor.accent)
            : (control.down ? VTColor.hover : VTColor.surfaceStrong)
        strokeColor: control.prominent ? "transparent" : VTColor.border
        strokeWidth: control.prominent ? 0 : 1
    }
}
