import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// Asks for a new folder's name; shown while the view model says so.
Popup {
    id: root

    required property SnippetManagerViewModel viewModel
    // What had the keyboard when the sheet opened: it takes it back, rather
    // than the bare window.
    property Item opener

    parent: Overlay.overlay
    x: Math.round((parent.width - width) / 2)
    y: 40
    width: 320
    padding: 20
    modal: true
    closePolicy: Popup.CloseOnEscape
    onAboutToShow: opener = parent.Window.activeFocusItem
    onOpened: field.forceActiveFocus()
    onClosed: {
        viewModel.showNewFolder = false
        if (opener)
            opener.forceActiveFocus()
    }

    Connections {
        target: root.viewModel
        function onShowNewFolderChanged() {
            if (root.viewModel.showNewFolder)
                root.open()
            else
                root.close()
        }
    }

    background: SurfaceShape {
        cornerRadius: 12
        color: VTColor.panel
        strokeColor: VTColor.border
        strokeWidth: 1
        shadowColor: VTColor.withOpacity("black", 0.25)
        shadowRadius: 16
        shadowOffset: Qt.point(0, 6)
    }

    Overlay.modal: Rectangle {
        color: VTColor.withOpacity("black", 0.15)
    }

    contentItem: ColumnLayout {
        spacing: 16

        Text {
            text: qsTr("New Folder")
            textFormat: Text.PlainText
            font: VTFont.headline
            color: VTColor.primary
        }

        WindowTextField {
            id: field
            Layout.preferredWidth: 240
            placeholderText: qsTr("Folder name")
            text: root.viewModel.newFolderName
            onTextEdited: root.viewModel.newFolderName = text
            onAccepted: {
                if (root.viewModel.canCreateFolder)
                    root.viewModel.createFolder()
            }
        }

        RowLayout {
            Layout.fillWidth: true

            WindowButton {
                text: qsTr("Cancel")
                onClicked: root.viewModel.showNewFolder = false
            }

            Item {
                Layout.fillWidth: true
            }

            WindowButton {
                text: qsTr("Create")
                prominent: true
                enabled: root.viewModel.canCreateFolder
                onClicked: root.viewModel.createFolder()
            }
        }
    }
}
