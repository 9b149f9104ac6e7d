import QtQuick
import QtQuick.Controls
import Vantorell.Design

// A pop-up picker with a rounded border, in the window's colours.
ComboBox {
    id: control

    font: VTFont.body
    leftPadding: 8
    rightPadding: 26
    topPadding: 4
    bottomPadding: 4

    // Closed, the box takes no choice from the keyboard: some choices delete
    // history the moment they apply. An arrow opens the list, as a desktop's
    // pop-up button does; Home, End and typed letters, which would step the
    // choice, do nothing. Open, the keys move through the list and Return or
    // Space chooses.
    Keys.onPressed: event => {
        if (popup.visible)
            return
        if (event.key === Qt.Key_Up || event.key === Qt.Key_Down) {
            popup.open()
            event.accepted = true
        } else if (event.key === Qt.Key_Home || event.key === Qt.Key_End
                   || /^[^\s\x00-\x1f\x7f]/.test(event.text)) {
            event.accepted = true
        }
    }

    contentItem: Text {
        text: control.displayText
        textFormat: Text.PlainText
        font: control.font
        color: control.enabled ? VTColor.primary : VTColor.secondary
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }

    indicator: Symbol {
        x: control.width - width - 8
        y: (control.height - height) / 2
        name: "chevron.up.chevron.down"
        pointSize: 10
        color: VTColor.secondary
    }

    background: SurfaceShape {
        implicitWidth: 120
        implicitHeight: 24
        cornerRadius: 6
        color: control.down ? VTColor.surfaceStrong : VTColor.surface
        strokeColor: control.visualFocus ? VTColor.withOpacity(VTColor.accent, 0.7) : VTColor.border
        strokeWidth: 1
        opacity: control.enabled ? 1 : 0.45
    }

    delegate: ItemDelegate {
        id: choice
        required property int index
        required property var modelData
        width: ListView.view.width
        topPadding: 4
        bottomPadding: 4
        highlighted: control.highlightedIndex === index
        text: control.textRole ? modelData[control.textRole] : modelData
        contentItem: Text {
            text: choice.text
            textFormat: Text.PlainText
            font: control.font
            color: choice.highlighted ? "white" : VTColor.primary
            elide: Text.ElideRight
        }
        background: Rectangle {
            radius: 4
            color: choice.highlighted ? VTColor.accent : "transparent"
        }
    }

    popup: Popup {
        y: control.height + 2
        width: control.width
        implicitHeight: Math.min(contentItem.implicitHeight + 8, 300)
        padding: 4

        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: control.popup.visible ? control.delegateModel : null
            currentIndex: control.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
            ScrollIndicator.vertical: ScrollIndicator { }
        }

        background: SurfaceShape {
            cornerRadius: 6
            color: VTColor.panel
            strokeColor: VTColor.border
            strokeWidth: 1
            shadowColor: VTColor.withOpacity("black", 0.2)
            shadowRadius: 8
            shadowOffset: Qt.point(0, 3)
        }
    }
}
