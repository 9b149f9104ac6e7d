import QtQuick
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.MenuBar

// The working panel's top row: the mark, the title with the badge that says
// whether new copies are stored encrypted or kept in memory only, the
// snippets button and the More menu.
RowLayout {
    id: root

    required property MainPopoverModel panel
    readonly property bool isPrivate: panel.appState.isSecureModeActive

    spacing: 10

    VTBrandMark {
        size: 28
    }

    ColumnLayout {
        spacing: 1

        VTText {
            text: qsTr("Vantorell")
            textFormat: Text.PlainText
            font: VTFont.headline
            color: VTColor.primary
        }

        Row {
            objectName: "badge"
            spacing: 4

            Symbol {
                anchors.verticalCenter: parent.verticalCenter
                name: root.isPrivate ? "eye.slash" : "lock.fill"
                pointSize: 8
                color: badgeText.color
            }

            VTText {
                id: badgeText
                anchors.verticalCenter: parent.verticalCenter
                text: root.isPrivate ? qsTr("Private session · memory only") : qsTr("End-to-end encrypted")
                textFormat: Text.PlainText
                font: VTFont.micro
                color: root.isPrivate ? VTColor.success : VTColor.secondary
            }
        }
    }

    Item {
        Layout.fillWidth: true
        Layout.minimumWidth: 8
    }

    HeaderIconButton {
        symbol: "text.badge.star"
        help: "Snippets"
        onAction: root.panel.openSnippetManager()
    }

    HeaderIconButton {
        id: more
        objectName: "more"
        symbol: "ellipsis"
        help: qsTr("More")
        onAction: root.panel.popUpMoreMenu(more)
    }
}
