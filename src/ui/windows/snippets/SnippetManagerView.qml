import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The snippet editor window: folders, the selected folder's snippets and the
// form of the selected snippet, side by side.
Rectangle {
    id: root

    property QtObject appState
    property QtObject settings
    readonly property SnippetManagerViewModel viewModel: model

    implicitWidth: 860
    implicitHeight: 540
    color: VTColor.panel

    function applyMinimumSize() {
        if (!Window.window)
            return
        Window.window.minimumWidth = 760
        Window.window.minimumHeight = 460
    }

    Component.onCompleted: {
        applyMinimumSize()
        model.appear()
    }
    Window.onWindowChanged: applyMinimumSize()

    SnippetManagerViewModel {
        id: model
        appState: root.appState
        settings: root.settings
    }

    // Pending edits under a title are kept when the window closes.
    Connections {
        target: root.Window.window
        function onClosing() { model.disappear() }
    }

    Shortcut {
        sequences: [StandardKey.New]
        onActivated: model.startNewSnippet()
    }

    Shortcut {
        sequences: [StandardKey.Save]
        enabled: model.hasSelectedSnippet && model.canSave
        onActivated: model.saveSnippetEdits()
    }

    SplitView {
        anchors.fill: parent
        orientation: Qt.Horizontal

        handle: Rectangle {
            implicitWidth: 1
            color: VTColor.border
            containmentMask: Item {
                x: -3
                width: 7
                height: parent ? parent.height : 0
            }
        }

        FolderSidebar {
            SplitView.minimumWidth: 180
            SplitView.preferredWidth: 200
            SplitView.maximumWidth: 260
            viewModel: model
        }

        SnippetList {
            SplitView.minimumWidth: 200
            SplitView.preferredWidth: 230
            viewModel: model
        }

        Item {
            SplitView.minimumWidth: 280
            SplitView.fillWidth: true

            Flickable {
                id: detail
                anchors.fill: parent
                visible: model.hasSelectedSnippet
                clip: true
                contentWidth: width
                contentHeight: form.height + 32
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar { }

                SnippetEditorForm {
                    id: form
                    objectName: "form"
                    x: 16
                    y: 16
                    width: detail.width - 32
                    height: Math.max(detail.height - 32, implicitHeight)
                    viewModel: model
                }
            }

            VTEmptyState {
                anchors.fill: parent
                visible: !model.hasSelectedSnippet
                icon: "square.and.pencil"
                title: qsTr("Select a snippet")
                subtitle: qsTr("Choose a snippet to edit, or create a new one.")
            }
        }
    }

    NewFolderSheet {
        viewModel: model
    }
}
