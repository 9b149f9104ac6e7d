import QtQuick
import Vantorell.Design
import QtQuick.Controls
import QtQuick.Layouts

// How strong the passcode being typed is: a thin bar and the level's name.
ColumnLayout {
    id: root

    property string passcode

    spacing: 4

    PasscodeStrength {
        id: rating
        passcode: root.passcode
    }

    ProgressBar {
        id: bar
        Layout.fillWidth: true
        from: 0
        to: 1
        value: rating.barValue

        background: SurfaceShape {
            implicitWidth: 200
            implicitHeight: 6
            kind: SurfaceShape.Capsule
            color: VTColor.surfaceStrong
        }

        contentItem: Item {
            implicitHeight: 6

            SurfaceShape {
                width: bar.visualPosition * parent.width
                height: parent.height
                visible: width > 0
                kind: SurfaceShape.Capsule
                color: rating.tint
            }
        }
    }

    VTText {
        visible: root.passcode !== ""
        text: rating.levelName
        textFormat: Text.PlainText
        font: VTFont.systemFont(10, Font.Normal)
        color: rating.tint
    }
}
