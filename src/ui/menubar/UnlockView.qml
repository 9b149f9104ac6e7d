import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.MenuBar

// The lock screen: the passcode field, the message of a refused attempt and
// the buttons to unlock.
Item {
    id: root

    required property MainPopoverModel panel

    function appear() {
        model.appear()
    }

    UnlockModel {
        id: model
        objectName: "unlockModel"
        panel: root.panel
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 20

        Item {
            Layout.fillHeight: true
        }

        VTHeroIcon {
            Layout.alignment: Qt.AlignHCenter
            symbol: "lock.shield.fill"
            size: 72
        }

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: 4

            VTText {
                Layout.alignment: Qt.AlignHCenter
                text: qsTr("Vantorell is locked")
                textFormat: Text.PlainText
                font: VTFont.systemFont(19, Font.Bold)
                color: VTColor.primary
            }

            VTText {
                Layout.alignment: Qt.AlignHCenter
                horizontalAlignment: Text.AlignHCenter
                text: qsTr("Your clipboard history is encrypted.\nUnlock with your passcode.")
                textFormat: Text.PlainText
                font: VTFont.body
                color: VTColor.secondary
            }
        }

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: 8

            Item {
                Layout.alignment: Qt.AlignHCenter
                implicitWidth: 250
                implicitHeight: 36

                Item {
                    width: parent.width
                    height: parent.height
                    x: model.shakeOffset

                    Behavior on x {
                        NumberAnimation { duration: 100; easing.type: Easing.InOutQuad }
                    }

                    SurfaceShape {
                        anchors.fill: parent
                        cornerRadius: 11
                        color: VTColor.surface
                        strokeColor: VTColor.border
                        strokeWidth: 1
                    }

                    TextField {
                        id: field
                        objectName: "passcodeField"
                        anchors.fill: parent
                        leftPadding: 12
                        rightPadding: 12
                        topPadding: 0
                        bottomPadding: 0
                        verticalAlignment: TextInput.AlignVCenter
                        background: null
                        echoMode: TextInput.Password
                        placeholderText: qsTr("Passcode")
                        placeholderTextColor: VTColor.secondary
                        color: VTColor.primary
                        selectionColor: VTColor.selection
                        selectedTextColor: VTColor.primary
                        font: VTFont.systemFont(14, Font.Normal)
                        focus: true
                        Accessible.name: placeholderText
                        text: model.passcode
                        onTextEdited: model.passcode = text
                        // Also with an empty field: an empty passcode counts as
                        // a wrong one.
                        onAccepted: model.submitPasscode()
                    }
                }
            }

            // A notice to assistive tools, which read it when it shows: it
            // shows anew after every refusal, so a repeated message is read
            // again (Qt 6.4 has no announcement of its own).
            VTText {
                id: errorLine
                objectName: "error"
                Layout.alignment: Qt.AlignHCenter
                Layout.maximumWidth: 320
                horizontalAlignment: Text.AlignHCenter
                visible: model.showError
                text: model.errorMessage
                textFormat: Text.PlainText
                wrapMode: Text.WordWrap
                font: VTFont.caption
                color: VTColor.danger
                Accessible.role: Accessible.Notification

                Connections {
                    target: model
                    // Once the line holds the new message.
                    function onErrorChanged() {
                        Qt.callLater(errorLine.showAnew)
                    }
                }

                function showAnew() {
                    if (!model.showError)
                        return
                    visible = false
                    visible = Qt.binding(() => model.showError)
                }
            }
        }

        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: 12

            ScreenButton {
                objectName: "touchIdButton"
                visible: model.showsTouchIdButton
                enabled: !model.isAuthenticating
                controlSize: "large"
                symbol: "touchid"
                text: qsTr("Fingerprint")
                onClicked: model.unlockWithBiometrics()
            }

            ScreenButton {
                id: unlockButton
                objectName: "unlockButton"
                enabled: model.passcode !== "" && !model.isAuthenticating
                prominent: true
                controlSize: "large"
                busy: model.isAuthenticating
                labelWidth: 80
                text: qsTr("Unlock")
                onClicked: model.submitPasscode()
            }
        }

        Item {
            Layout.fillHeight: true
        }
    }

    // The field takes the typing as soon as the panel shows.
    Connections {
        target: root.Window.window
        function onVisibleChanged() {
            if (root.Window.window.visible)
                field.forceActiveFocus()
        }
    }

    // The Unlock button is the screen's default action.
    Keys.onReturnPressed: {
        if (unlockButton.enabled)
            model.submitPasscode()
    }
    Keys.onEnterPressed: {
        if (unlockButton.enabled)
            model.submitPasscode()
    }

    Component.onCompleted: field.forceActiveFocus()
}
