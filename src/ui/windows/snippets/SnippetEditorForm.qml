import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The form that edits the selected snippet's copy: title, content, folder,
// tags and the favourite flag, the last save's failure, Delete and Save.
ColumnLayout {
    id: root

    required property SnippetManagerViewModel viewModel

    spacing: 12

    WindowTextField {
        Layout.fillWidth: true
        placeholderText: qsTr("Title")
        font: VTFont.systemFont(14, Font.DemiBold)
        text: root.viewModel.editTitle
        onTextEdited: root.viewModel.editTitle = text
    }

    ColumnLayout {
        Layout.fillWidth: true
        Layout.fillHeight: true
        spacing: 4

        Text {
            id: contentCaption
            text: qsTr("Content")
            textFormat: Text.PlainText
            font: VTFont.caption
            color: VTColor.secondary
        }

        SurfaceShape {
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.minimumHeight: 160
            cornerRadius: 11
            color: VTColor.surface
            // As a single-line field's border does while it has the keyboard.
            strokeColor: contentEditor.activeFocus ? VTColor.withOpacity(VTColor.accent, 0.7) : VTColor.border
            strokeWidth: contentEditor.activeFocus ? 1.5 : 1

            ScrollView {
                anchors.fill: parent
                anchors.margins: 1

                TextArea {
                    id: contentEditor
                    padding: 4
                    // The style's own left padding is 4 wider.
                    leftPadding: padding
                    background: null
                    wrapMode: TextEdit.Wrap
                    font: Qt.font({ family: "monospace", styleHint: Font.Monospace,
                                    pointSize: VTFont.systemFont(12, Font.Normal).pointSize })
                    color: VTColor.primary
                    selectionColor: VTColor.selection
                    selectedTextColor: VTColor.primary
                    text: root.viewModel.editContent
                    onTextChanged: {
                        if (text !== root.viewModel.editContent)
                            root.viewModel.editContent = text
                    }
                    // Tab types a tab into the template; Ctrl+Tab goes on to
                    // the next field, as in other editors that keep Tab.
                    Keys.onPressed: event => {
                        if (event.key === Qt.Key_Tab && (event.modifiers & Qt.ControlModifier)) {
                            nextItemInFocusChain(true).forceActiveFocus(Qt.TabFocusReason)
                            event.accepted = true
                        }
                    }
                    Accessible.name: contentCaption.text
                }
            }
        }

        Text {
            Layout.fillWidth: true
            text: "Placeholders: {{date}} {{time}} {{clipboard}} {{cursor}} {{prompt:Name}} {{date+3d}} {{counter}} {{uuid}}"
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font: VTFont.micro
            color: VTColor.secondary
        }
    }

    RowLayout {
        spacing: 8

        Text {
            id: folderCaption
            text: qsTr("Folder")
            textFormat: Text.PlainText
            font: VTFont.caption
            color: VTColor.secondary
        }

        WindowComboBox {
            Layout.preferredWidth: 180
            textRole: "text"
            valueRole: "value"
            // "Ungrouped" carries the empty name.
            model: [{ text: qsTr("Ungrouped"), value: "" }].concat(
                root.viewModel.allFolderNames.map(name => ({ text: name, value: name })))
            currentIndex: root.viewModel.editFolder === ""
                ? 0 : root.viewModel.allFolderNames.indexOf(root.viewModel.editFolder) + 1
            onActivated: root.viewModel.editFolder = currentValue
            Accessible.name: folderCaption.text
        }
    }

    WindowTextField {
        Layout.fillWidth: true
        placeholderText: qsTr("Tags (comma-separated)")
        text: root.viewModel.editTags
        onTextEdited: root.viewModel.editTags = text
    }

    WindowCheckBox {
        text: qsTr("Favorite")
        checked: root.viewModel.editFavorite
        onToggled: root.viewModel.editFavorite = checked
    }

    RowLayout {
        Layout.fillWidth: true
        visible: root.viewModel.saveError !== ""
        spacing: 6

        Symbol {
            Layout.alignment: Qt.AlignTop
            name: "exclamationmark.triangle.fill"
            pointSize: 11
            color: VTColor.danger
        }

        Text {
            Layout.fillWidth: true
            text: root.viewModel.saveError
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font: VTFont.caption
            color: VTColor.danger
        }
    }

    RowLayout {
        Layout.fillWidth: true

        WindowButton {
            text: qsTr("Delete")
            destructive: true
            onClicked: root.viewModel.deleteSelectedSnippet()
        }

        Item {
            Layout.fillWidth: true
        }

        WindowButton {
            text: qsTr("Save")
            prominent: true
            enabled: root.viewModel.canSave
            onClicked: root.viewModel.saveSnippetEdits()
        }
    }
}
