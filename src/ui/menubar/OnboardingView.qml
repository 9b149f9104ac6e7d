import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.MenuBar

// The first-run set-up: four steps in one screen, each sliding in from the
// trailing edge, with the step markers on top and the buttons below.
Item {
    id: root

    required property MainPopoverModel panel

    readonly property int stepDuration: 300
    // The system's orange, red and pink.
    readonly property color orange: "#FF9500"
    readonly property color red: "#FF3B30"
    readonly property color pink: "#FF2D55"

    function appear() {
        setup.appear()
    }

    component Heading: VTText {
        Layout.alignment: Qt.AlignHCenter
        textFormat: Text.PlainText
        font: VTFont.systemFont(18, Font.DemiBold)
        color: VTColor.primary
    }

    component Explanation: VTText {
        Layout.alignment: Qt.AlignHCenter
        horizontalAlignment: Text.AlignHCenter
        textFormat: Text.PlainText
        font: VTFont.systemFont(12, Font.Normal)
        color: VTColor.secondary
    }

    // Assistive tools take it for a notice and read it when it shows.
    component ErrorLine: VTText {
        Layout.alignment: Qt.AlignHCenter
        Layout.maximumWidth: 300
        horizontalAlignment: Text.AlignHCenter
        visible: setup.error !== ""
        text: setup.error
        textFormat: Text.PlainText
        wrapMode: Text.WordWrap
        font: VTFont.systemFont(11, Font.Normal)
        color: root.red
        Accessible.role: Accessible.Notification
    }

    // Return does nothing here: only the buttons move on.
    component PasscodeField: TextField {
        Layout.preferredWidth: 260
        implicitHeight: 26
        leftPadding: 8
        rightPadding: 8
        topPadding: 0
        bottomPadding: 0
        verticalAlignment: TextInput.AlignVCenter
        echoMode: TextInput.Password
        placeholderTextColor: VTColor.secondary
        color: VTColor.primary
        selectionColor: VTColor.selection
        selectedTextColor: VTColor.primary
        font: VTFont.systemFont(13, Font.Normal)
        Accessible.name: placeholderText
        background: SurfaceShape {
            cornerRadius: 6
            color: VTColor.surface
            strokeColor: parent.activeFocus ? VTColor.withOpacity(VTColor.accent, 0.7) : VTColor.withOpacity(VTColor.primary, 0.2)
            strokeWidth: 1
        }
    }

    component FeatureRow: RowLayout {
        property string symbol
        property string text

        Layout.fillWidth: true
        spacing: 10

        Item {
            Layout.preferredWidth: 20
            Layout.preferredHeight: 16

            Symbol {
                anchors.centerIn: parent
                name: symbol
                pointSize: 12
                color: VTColor.success
            }
        }

        VTText {
            Layout.fillWidth: true
            text: parent.text
            textFormat: Text.PlainText
            wrapMode: Text.WordWrap
            font: VTFont.systemFont(13, Font.Normal)
            color: VTColor.primary
        }
    }

    OnboardingModel {
        id: setup
        objectName: "onboardingModel"
        panel: root.panel

        onCurrentStepChanged: {
            steps.replace(null, root.stepPages[currentStep])
            steps.currentItem.forceActiveFocus()
        }
    }

    readonly property list<Component> stepPages: [welcome, passcode, touchId, permission]

    ColumnLayout {
        anchors.fill: parent
        anchors.leftMargin: 24
        anchors.rightMargin: 24
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 16
            spacing: 8

            Repeater {
                model: setup.totalSteps

                Item {
                    required property int index

                    Layout.fillWidth: true
                    Layout.preferredHeight: 3

                    SurfaceShape {
                        anchors.fill: parent
                        kind: SurfaceShape.Capsule
                        color: VTColor.surfaceStrong
                    }

                    SurfaceShape {
                        anchors.fill: parent
                        kind: SurfaceShape.Capsule
                        gradient: VTGradient.brand
                        opacity: index <= setup.currentStep ? 1 : 0

                        Behavior on opacity {
                            NumberAnimation { duration: root.stepDuration; easing.type: Easing.InOutQuad }
                        }
                    }
                }
            }
        }

        StackView {
            id: steps
            objectName: "steps"
            Layout.fillWidth: true
            Layout.fillHeight: true
            initialItem: welcome

            replaceEnter: Transition {
                ParallelAnimation {
                    NumberAnimation {
                        property: "x"; from: steps.width; to: 0
                        duration: root.stepDuration; easing.type: Easing.InOutQuad
                    }
                    NumberAnimation {
                        property: "opacity"; from: 0; to: 1
                        duration: root.stepDuration; easing.type: Easing.InOutQuad
                    }
                }
            }
            replaceExit: Transition {
                ParallelAnimation {
                    NumberAnimation {
                        property: "x"; from: 0; to: -steps.width
                        duration: root.stepDuration; easing.type: Easing.InOutQuad
                    }
                    NumberAnimation {
                        property: "opacity"; from: 1; to: 0
                        duration: root.stepDuration; easing.type: Easing.InOutQuad
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.bottomMargin: 16

            ScreenButton {
                objectName: "backButton"
                visible: setup.currentStep > 0
                text: qsTr("Back")
                onClicked: setup.goBack()
            }

            Item {
                Layout.fillWidth: true
            }

            ScreenButton {
                objectName: "continueButton"
                visible: setup.currentStep < setup.totalSteps - 1
                enabled: setup.canContinue
                prominent: true
                text: qsTr("Continue")
                onClicked: setup.validateAndAdvance()
            }

            ScreenButton {
                objectName: "getStartedButton"
                visible: setup.currentStep === setup.totalSteps - 1
                enabled: !setup.isSettingUp
                prominent: true
                busy: setup.isSettingUp
                text: qsTr("Get Started")
                onClicked: setup.startSetup(root)
            }
        }
    }

    Component {
        id: welcome

        Item {
            ColumnLayout {
                anchors.centerIn: parent
                // A promise longer than the panel is wide wraps.
                width: Math.min(implicitWidth, parent.width - 32)
                spacing: 18

                VTBrandMark {
                    Layout.alignment: Qt.AlignHCenter
                    size: 72
                }

                ColumnLayout {
                    Layout.alignment: Qt.AlignHCenter
                    spacing: 4

                    VTText {
                        Layout.alignment: Qt.AlignHCenter
                        text: qsTr("Welcome to Vantorell")
                        textFormat: Text.PlainText
                        font: VTFont.systemFont(22, Font.Bold)
                        color: VTColor.primary
                    }

                    VTText {
                        Layout.alignment: Qt.AlignHCenter
                        text: qsTr("The clipboard manager that keeps a secret.")
                        textFormat: Text.PlainText
                        font: VTFont.body
                        color: VTColor.secondary
                    }
                }

                CardStyle {
                    Layout.alignment: Qt.AlignHCenter
                    Layout.maximumWidth: parent.width
                    cornerRadius: 16
                    padding: 16

                    contentItem: ColumnLayout {
                        spacing: 12

                        FeatureRow {
                            symbol: "lock.fill"
                            text: "Everything encrypted on this computer"
                        }
                        FeatureRow {
                            symbol: "icloud.slash"
                            text: "No cloud sync — history never leaves your computer"
                        }
                        FeatureRow {
                            symbol: "eye.slash.fill"
                            text: "No telemetry, analytics or tracking"
                        }
                    }
                }
            }
        }
    }

    Component {
        id: passcode

        // The page that comes in takes the focus; the scope
        // hands it to its first field.
        FocusScope {
            ColumnLayout {
                anchors.centerIn: parent
                spacing: 20

                Symbol {
                    Layout.alignment: Qt.AlignHCenter
                    name: "key.fill"
                    pointSize: 40
                    color: root.orange
                }

                Heading {
                    text: qsTr("Create Your Passcode")
                }

                Explanation {
                    text: qsTr("This protects all your clipboard data.\nChoose something strong — there is no recovery.")
                }

                ColumnLayout {
                    Layout.alignment: Qt.AlignHCenter
                    spacing: 12

                    PasscodeField {
                        objectName: "passcodeField"
                        focus: true
                        placeholderText: qsTr("Passcode (min 6 characters)")
                        text: setup.passcode
                        onTextEdited: setup.passcode = text
                    }

                    PasscodeField {
                        objectName: "confirmField"
                        placeholderText: qsTr("Confirm passcode")
                        text: setup.confirmPasscode
                        onTextEdited: setup.confirmPasscode = text
                    }

                    ErrorLine {
                        objectName: "error"
                    }

                    PasscodeStrengthView {
                        Layout.preferredWidth: 260
                        passcode: setup.passcode
                    }
                }
            }
        }
    }

    Component {
        id: touchId

        Item {
            ColumnLayout {
                anchors.centerIn: parent
                spacing: 20

                Symbol {
                    Layout.alignment: Qt.AlignHCenter
                    name: "touchid"
                    pointSize: 56
                    color: root.pink
                }

                Heading {
                    text: qsTr("Enable fingerprint unlock?")
                }

                Explanation {
                    text: qsTr("Use your fingerprint for quick unlock.\nYour passcode remains the master key.")
                }

                Switch {
                    id: toggle
                    objectName: "touchIdSwitch"
                    Layout.alignment: Qt.AlignHCenter
                    Layout.preferredWidth: 200
                    text: qsTr("Enable fingerprint")
                    checked: setup.enableTouchID
                    onToggled: setup.enableTouchID = checked
                    padding: 0
                    Accessible.name: text

                    indicator: SurfaceShape {
                        x: toggle.width - width
                        y: (toggle.height - height) / 2
                        implicitWidth: 38
                        implicitHeight: 22
                        kind: SurfaceShape.Capsule
                        color: toggle.checked ? VTColor.accent : VTColor.surfaceStrong
                        strokeColor: VTColor.border
                        strokeWidth: 1

                        SurfaceShape {
                            width: 18
                            height: 18
                            y: 2
                            x: toggle.checked ? parent.width - width - 2 : 2
                            kind: SurfaceShape.Circle
                            color: "white"
                            strokeColor: VTColor.withOpacity("black", 0.1)
                            strokeWidth: 0.5

                            Behavior on x {
                                NumberAnimation { duration: 120; easing.type: Easing.OutQuad }
                            }
                        }
                    }

                    contentItem: Text {
                        rightPadding: toggle.indicator.width + 8
                        verticalAlignment: Text.AlignVCenter
                        text: toggle.text
                        textFormat: Text.PlainText
                        font: VTFont.systemFont(13, Font.Normal)
                        color: VTColor.primary
                    }
                }

                VTText {
                    objectName: "biometricsWarning"
                    Layout.alignment: Qt.AlignHCenter
                    visible: !setup.biometricsAvailable
                    text: qsTr("Fingerprint unlock is not available on this device")
                    textFormat: Text.PlainText
                    font: VTFont.systemFont(11, Font.Normal)
                    color: root.orange
                }
            }
        }
    }

    Component {
        id: permission

        Item {
            ColumnLayout {
                anchors.centerIn: parent
                spacing: 18

                Item {
                    Layout.alignment: Qt.AlignHCenter
                    implicitWidth: 72
                    implicitHeight: 72

                    SurfaceShape {
                        anchors.fill: parent
                        kind: SurfaceShape.Circle
                        color: VTColor.accentSoft
                    }

                    Symbol {
                        anchors.centerIn: parent
                        name: "hand.tap.fill"
                        pointSize: 32
                        color: VTColor.accent
                    }
                }

                Heading {
                    text: qsTr("One last thing")
                }

                Explanation {
                    Layout.preferredWidth: 300
                    wrapMode: Text.WordWrap
                    text: qsTr("To paste an item with a single click, Vantorell sends the paste keystroke for you — the X server must allow synthetic keystrokes through its XTEST extension.")
                }

                RowLayout {
                    Layout.alignment: Qt.AlignHCenter
                    visible: setup.accessibilityGranted
                    spacing: 6

                    Symbol {
                        name: "checkmark.circle.fill"
                        pointSize: 13
                        color: VTColor.success
                    }

                    VTText {
                        text: qsTr("Synthetic keystrokes allowed (XTEST)")
                        textFormat: Text.PlainText
                        font: VTFont.systemFont(12, Font.Medium)
                        color: VTColor.primary
                    }
                }

                ScreenButton {
                    Layout.alignment: Qt.AlignHCenter
                    visible: !setup.accessibilityGranted
                    prominent: true
                    text: qsTr("How to Allow…")
                    onClicked: setup.requestAccessibilityAccess()
                }

                Explanation {
                    visible: !setup.accessibilityGranted
                    text: qsTr("You can also do this later from the panel or Settings.")
                    font: VTFont.systemFont(10, Font.Normal)
                }

                ErrorLine {
                    objectName: "setupError"
                }
            }
        }
    }
}
