import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.MenuBar

// The history in the panel: the category chips, the paste stack's bar, the
// rows or what stands in for them, the footer, and the QR overlay above it
// all. Made anew with the working screen, so it starts on all, with nothing
// selected and no overlay.
Item {
    id: root

    required property MainPopoverModel panel

    ClipboardListModel {
        id: list
        objectName: "listModel"
        panel: root.panel
        window: root.Window.window
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Row {
            objectName: "chips"
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            Layout.bottomMargin: 8
            spacing: 6

            Repeater {
                model: list.chips

                VTChip {
                    required property var modelData
                    objectName: "chip-" + modelData.filter
                    title: modelData.title
                    icon: modelData.icon
                    isSelected: list.filter === modelData.filter
                    onAction: list.filter = modelData.filter
                    Accessible.role: Accessible.Button
                    Accessible.name: title
                    Accessible.onPressAction: action()
                }
            }
        }

        GlassCard {
            objectName: "pasteStackBar"
            visible: list.pasteStackCount > 0
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            Layout.bottomMargin: 8
            cornerRadius: 11
            leftPadding: 12
            rightPadding: 12
            topPadding: 8
            bottomPadding: 8

            contentItem: RowLayout {
                spacing: 8

                Symbol {
                    name: "square.stack.3d.up.fill"
                    pointSize: 13
                    gradient: VTGradient.brand
                }

                VTText {
                    Layout.fillWidth: true
                    text: qsTr("%1 in paste stack").arg(list.pasteStackCount)
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    font: VTFont.systemFont(12, Font.Medium)
                    color: VTColor.primary
                }

                ScreenButton {
                    objectName: "clearStackButton"
                    text: qsTr("Clear")
                    controlSize: "small"
                    onClicked: list.clearPasteStack()
                }

                ScreenButton {
                    objectName: "pasteAllButton"
                    text: qsTr("Paste All")
                    prominent: true
                    controlSize: "small"
                    onClicked: list.pasteAllFromStack()
                }
            }
        }

        VTEmptyState {
            objectName: "emptyState"
            visible: list.count === 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            icon: list.emptyIcon
            title: list.emptyTitle
            subtitle: list.emptySubtitle
        }

        ListView {
            id: rows
            objectName: "rows"
            visible: list.count > 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: list
            spacing: 2
            leftMargin: 8
            rightMargin: 8
            bottomMargin: 8
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}

            delegate: ClipboardEntryRow {
                required property int index
                width: ListView.view.width - ListView.view.leftMargin - ListView.view.rightMargin
                panel: root.panel
                position: index
                selected: index === list.selectedIndex
                onActivated: list.pasteAt(index)
                onQrCodeRequested: text => list.showQrCode(text)
            }

            // The least move that shows the selected row.
            function scrollToSelection() {
                const at = list.selectedIndex
                // Not laid out yet: nothing to scroll.
                if (at < 0 || at >= count || height <= 0)
                    return
                scroll.stop()
                const from = contentY
                positionViewAtIndex(at, ListView.Contain)
                const to = contentY
                contentY = from
                scroll.from = from
                scroll.to = to
                scroll.start()
            }

            NumberAnimation {
                id: scroll
                target: rows
                property: "contentY"
                duration: 120
                easing.type: Easing.OutQuad
            }

            Connections {
                target: list
                function onSelectedIndexChanged() {
                    rows.scrollToSelection()
                }
            }
        }

        Item {
            Layout.fillWidth: true
            // Taller while a refused copy is told, on two lines.
            Layout.preferredHeight: Math.max(34, footer.implicitHeight + 12)

            Rectangle {
                width: parent.width
                height: 1
                color: VTColor.border
                opacity: 0.5
            }

            RowLayout {
                id: footer
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: 16
                spacing: 8

                Symbol {
                    Layout.alignment: Qt.AlignTop
                    Layout.topMargin: 2
                    visible: list.footerDetail !== ""
                    name: "exclamationmark.triangle.fill"
                    pointSize: 11
                    color: VTColor.warning
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 1

                    VTText {
                        objectName: "footerCount"
                        Layout.fillWidth: true
                        text: list.footerText
                        textFormat: Text.PlainText
                        font: list.footerDetail !== "" ? VTFont.systemFont(11, Font.DemiBold) : VTFont.caption
                        color: list.footerDetail !== "" ? VTColor.primary : VTColor.secondary
                    }

                    VTText {
                        objectName: "footerDetail"
                        visible: list.footerDetail !== ""
                        Layout.fillWidth: true
                        text: list.footerDetail
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        font: VTFont.caption
                        color: VTColor.secondary
                    }
                }

                Button {
                    id: clearHistory
                    objectName: "clearHistoryButton"
                    visible: !list.historyEmpty
                    text: qsTr("Clear")
                    padding: 2
                    focusPolicy: Qt.NoFocus
                    Accessible.name: text
                    ToolTip.visible: hovered
                    ToolTip.delay: 1000
                    ToolTip.text: qsTr("Clear history")
                    onClicked: list.confirmClearHistory()

                    contentItem: Row {
                        spacing: 3

                        Symbol {
                            anchors.verticalCenter: parent.verticalCenter
                            name: "trash"
                            pointSize: 10
                            color: VTColor.secondary
                        }

                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: clearHistory.text
                            textFormat: Text.PlainText
                            font: VTFont.caption
                            color: VTColor.secondary
                        }
                    }

                    background: Item {}
                }
            }
        }
    }

    // Ctrl+1 to Ctrl+9 paste the first shown entries wherever the focus is.
    Repeater {
        model: 9

        Item {
            required property int index

            Shortcut {
                sequence: "Ctrl+" + (index + 1)
                enabled: index < list.quickPasteCount
                onActivated: list.pasteAt(index)
            }
        }
    }

    Item {
        objectName: "qrOverlay"
        anchors.fill: parent
        visible: list.qrShown

        Rectangle {
            anchors.fill: parent
            color: Qt.rgba(0, 0, 0, 0.35)

            MouseArea {
                anchors.fill: parent
                onClicked: list.closeQrCode()
            }
        }

        // Glass without the blur behind it would let the rows show through.
        SurfaceShape {
            anchors.fill: card
            cornerRadius: 22
            color: VTColor.panel
        }

        GlassCard {
            id: card
            anchors.centerIn: parent
            cornerRadius: 22
            padding: 20

            contentItem: ColumnLayout {
                spacing: 12

                VTText {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("QR Code")
                    textFormat: Text.PlainText
                    font: VTFont.headline
                    color: VTColor.primary
                }

                SurfaceShape {
                    objectName: "qrCode"
                    visible: list.qrEncodable
                    Layout.alignment: Qt.AlignHCenter
                    implicitWidth: 224
                    implicitHeight: 224
                    cornerRadius: 11
                    color: "white"

                    PixelImage {
                        anchors.fill: parent
                        anchors.margins: 12
                        image: list.qrImage
                    }
                }

                VTText {
                    objectName: "qrTooLong"
                    visible: !list.qrEncodable
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("This item is too long for a QR code.")
                    textFormat: Text.PlainText
                    font: VTFont.caption
                    color: VTColor.secondary
                }

                ScreenButton {
                    objectName: "qrDoneButton"
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("Done")
                    onClicked: list.closeQrCode()
                }
            }
        }

        // The list passes keys on while the overlay shows: Escape is Done's.
        Shortcut {
            sequence: "Escape"
            enabled: list.qrShown
            onActivated: list.closeQrCode()
        }
    }
}
