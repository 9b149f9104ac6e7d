import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A push button of the settings forms, with an optional symbol before its
// title; a destructive one says so in red, the one Return answers with is
// filled.
Button {
    id: control

    property string symbol
    property bool destructive: false
    property bool isDefault: false
    property bool small: false
    // Work that disables the button, or a dialog it opens, takes the
    // keyboard away and hands it back for no reason of the user's: the ring
    // Tab gave comes back with it. Only the user's Tab or click moves it.
    property bool tabbedTo: false

    onActiveFocusChanged: {
        if ([Qt.TabFocusReason, Qt.BacktabFocusReason, Qt.ShortcutFocusReason, Qt.MouseFocusReason]
                .includes(focusReason))
            tabbedTo = visualFocus
    }

    font: small ? VTFont.caption : VTFont.body
    topPadding: small ? 2 : 4
    bottomPadding: small ? 2 : 4
    leftPadding: small ? 8 : 12
    rightPadding: small ? 8 : 12

    contentItem: Item {
        readonly property color tint: !control.enabled ? VTColor.secondary
            : control.isDefault ? "white"
            : control.destructive ? VTColor.danger : VTColor.primary

        implicitWidth: row.implicitWidth
        implicitHeight: row.implicitHeight

        Row {
            id: row
            anchors.centerIn: parent
            spacing: 4

            Symbol {
                visible: valid
                anchors.verticalCenter: parent.verticalCenter
                name: control.symbol
                pointSize: control.small ? 9 : 11
                color: parent.parent.tint
            }

            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: control.text
                font: control.font
                color: parent.parent.tint
            }
        }
    }

    background: SurfaceShape {
        implicitWidth: 64
        implicitHeight: control.small ? 20 : 24
        cornerRadius: control.small ? 5 : 6
        color: control.isDefault ? (control.down ? Qt.darker(VTColor.accent, 1.15) : VTColor.accent)
            : control.down ? VTColor.surfaceStrong : VTColor.surface
        strokeColor: control.activeFocus && control.tabbedTo ? VTColor.accent
            : control.isDefault ? "transparent" : VTColor.border
        strokeWidth: 1
    }
}
