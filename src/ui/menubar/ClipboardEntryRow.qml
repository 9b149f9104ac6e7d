import QtQuick
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.MenuBar

// One history item: what kind it is, what it says or shows, its age, source
// and count-down, and its marks; under the pointer a bar of quick actions.
// A click pastes it, a secondary click opens its menu.
Item {
    id: root

    required property string entryId
    required property MainPopoverModel panel
    property int position: -1
    property bool selected: false
    readonly property bool hovered: hover.hovered
    readonly property bool showsThumbnail: row.isImage && row.hasThumbnail

    signal activated()
    signal qrCodeRequested(string text)

    implicitWidth: 360
    implicitHeight: content.implicitHeight + 16

    Accessible.role: Accessible.Button
    Accessible.name: root.showsThumbnail ? qsTr("Image") : row.preview
    Accessible.onPressAction: root.activated()

    ClipboardEntryRowModel {
        id: row
        panel: root.panel
        entryId: root.entryId
        position: root.position
        onQrCodeRequested: text => root.qrCodeRequested(text)
    }

    Component.onCompleted: row.loadPreview()

    HoverHandler {
        id: hover
    }

    SurfaceShape {
        anchors.fill: parent
        cornerRadius: 11
        color: root.selected ? VTColor.selection : root.hovered ? VTColor.hover : "transparent"
        strokeColor: root.selected || root.hovered ? VTColor.border : "transparent"
        strokeWidth: 1
        Behavior on color {
            ColorAnimation {
                duration: 120
                easing.type: Easing.OutQuad
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: mouse => {
            if (mouse.button === Qt.RightButton)
                row.popUpMenu(null)
            else
                root.activated()
        }
    }

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.leftMargin: 10
        anchors.rightMargin: 10
        anchors.topMargin: 8
        anchors.bottomMargin: 8
        spacing: 12

        Item {
            objectName: "kindTile"
            implicitWidth: 30
            implicitHeight: 30

            SurfaceShape {
                anchors.fill: parent
                cornerRadius: 8
                color: VTColor.withOpacity(row.kindColor, 0.14)
            }

            Symbol {
                anchors.centerIn: parent
                name: row.kindSymbol
                pointSize: 13
                color: row.kindColor
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.rightMargin: 6
            spacing: 3

            ThumbnailImage {
                objectName: "thumbnail"
                visible: root.showsThumbnail
                image: row.thumbnail
                cornerRadius: 5
                Layout.preferredWidth: implicitWidth
                Layout.preferredHeight: implicitHeight
            }

            Text {
                objectName: "preview"
                visible: !root.showsThumbnail
                Layout.fillWidth: true
                text: row.preview
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                font: VTFont.systemFont(13, Font.Normal)
                color: row.isSensitive ? VTColor.secondary : VTColor.primary
            }

            RowLayout {
                objectName: "meta"
                Layout.fillWidth: true
                spacing: 4

                Symbol {
                    visible: row.isPinned
                    name: "pin.fill"
                    pointSize: 9
                    color: VTColor.accent
                }

                Text {
                    text: row.age
                    textFormat: Text.PlainText
                    font: VTFont.micro
                    color: VTColor.secondary
                }

                Text {
                    visible: row.sourceApp !== ""
                    text: "·"
                    font: VTFont.micro
                    color: VTColor.secondary
                }

                Text {
                    visible: row.sourceApp !== ""
                    Layout.maximumWidth: 160
                    text: row.sourceApp
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    maximumLineCount: 1
                    font: VTFont.micro
                    color: VTColor.secondary
                }

                Text {
                    visible: row.countdown !== ""
                    text: "·"
                    font: VTFont.micro
                    color: VTColor.secondary
                }

                Symbol {
                    visible: row.countdown !== ""
                    name: "timer"
                    pointSize: 9
                    color: VTColor.secondary
                }

                Text {
                    objectName: "countdown"
                    visible: row.countdown !== ""
                    text: row.countdown
                    textFormat: Text.PlainText
                    font: VTFont.micro
                    color: VTColor.secondary
                }

                Item {
                    Layout.fillWidth: true
                }
            }
        }

        Item {
            objectName: "accessories"
            implicitWidth: Math.max(marks.implicitWidth, bar.implicitWidth)
            implicitHeight: Math.max(marks.implicitHeight, bar.implicitHeight)

            Row {
                id: marks
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                spacing: 6
                opacity: root.hovered ? 0 : 1
                Behavior on opacity {
                    NumberAnimation {
                        duration: 120
                        easing.type: Easing.OutQuad
                    }
                }

                Symbol {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: row.isFavorite
                    name: "star.fill"
                    pointSize: 10
                    color: "#FFCC00"
                }

                VTKeyCap {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: text !== ""
                    text: row.keyCap
                }
            }

            GlassCard {
                id: bar
                objectName: "hoverBar"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                cornerRadius: 999
                leftPadding: 3
                rightPadding: 3
                opacity: root.hovered ? 1 : 0
                enabled: root.hovered
                Behavior on opacity {
                    NumberAnimation {
                        duration: 120
                        easing.type: Easing.OutQuad
                    }
                }

                contentItem: Row {
                    VTIconButton {
                        icon: "arrow.turn.down.left"
                        tint: VTColor.accent
                        help: qsTr("Paste")
                        onAction: root.activated()
                    }
                    VTIconButton {
                        icon: row.isPinned ? "pin.slash" : "pin"
                        tint: row.isPinned ? VTColor.accent : VTColor.secondary
                        help: row.isPinned ? qsTr("Unpin") : qsTr("Pin to top")
                        onAction: row.togglePin()
                    }
                    VTIconButton {
                        icon: row.isFavorite ? "star.fill" : "star"
                        tint: row.isFavorite ? "#FFCC00" : VTColor.secondary
                        help: qsTr("Favorite")
                        onAction: row.toggleFavorite()
                    }
                    VTIconButton {
                        id: more
                        objectName: "more"
                        icon: "ellipsis"
                        help: qsTr("More actions")
                        onAction: row.popUpMenu(more)
                    }
                }
            }
        }
    }
}
