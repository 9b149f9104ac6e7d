import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The settings window: the sections in a sidebar, and beside it the shown
// section's header over its tab, made afresh whenever the section changes.
Rectangle {
    id: root

    property QtObject appState
    property QtObject settings
    // The section to open on, as its raw text.
    property string section
    property SettingsWindowContext context

    implicitWidth: 780
    implicitHeight: 560
    color: VTColor.panel

    SettingsViewModel {
        id: viewModel
        selection: root.section
    }

    RowLayout {
        anchors.fill: parent
        spacing: 0

        VisualEffectBackground {
            Layout.preferredWidth: 214
            Layout.fillHeight: true

            ColumnLayout {
                anchors.fill: parent
                spacing: 2

                RowLayout {
                    Layout.leftMargin: 16
                    Layout.rightMargin: 16
                    Layout.topMargin: 44
                    Layout.bottomMargin: 14
                    spacing: 10

                    VTBrandMark {
                        size: 30
                    }

                    ColumnLayout {
                        spacing: 0

                        Label {
                            text: "Vantorell"
                            font: VTFont.systemFont(14, Font.Bold)
                            color: VTColor.primary
                        }

                        Label {
                            text: "Settings"
                            font: VTFont.systemFont(10, Font.Medium)
                            color: VTColor.secondary
                        }
                    }
                }

                Repeater {
                    model: viewModel.sections

                    SettingsSidebarRow {
                        required property var modelData

                        text: modelData.title
                        symbol: modelData.symbol
                        badge: modelData.badge
                        selected: viewModel.selection === modelData.raw
                        onClicked: viewModel.selection = modelData.raw
                    }
                }

                Item {
                    Layout.fillHeight: true
                }
            }
        }

        Rectangle {
            Layout.preferredWidth: 1
            Layout.fillHeight: true
            color: VTColor.border
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 0

            ColumnLayout {
                Layout.leftMargin: 28
                Layout.rightMargin: 28
                Layout.topMargin: 40
                Layout.bottomMargin: 4
                spacing: 3

                Label {
                    objectName: "title"
                    text: viewModel.title
                    font: VTFont.systemFont(20, Font.Bold)
                    color: VTColor.primary
                    Accessible.role: Accessible.Heading
                }

                Label {
                    text: viewModel.subtitle
                    font: VTFont.systemFont(11, Font.Normal)
                    color: VTColor.secondary
                }
            }

            Loader {
                objectName: "tab"
                Layout.fillWidth: true
                Layout.fillHeight: true
                sourceComponent: ({
                    general: generalTab,
                    clipboard: clipboardTab,
                    security: securityTab,
                    backup: backupTab,
                    appearance: appearanceTab,
                    excluded: excludedTab,
                    about: aboutTab
                })[viewModel.selection] ?? null
            }
        }
    }

    Component {
        id: generalTab

        GeneralSettingsPage {
            settings: root.settings
            context: root.context
        }
    }

    Component {
        id: securityTab

        SecuritySettingsPage {
            settings: root.settings
            context: root.context
        }
    }

    Component {
        id: clipboardTab

        ClipboardSettingsPage {
            settings: root.settings
            context: root.context
        }
    }

    Component {
        id: backupTab

        BackupSettingsPage {
            settings: root.settings
            context: root.context
        }
    }

    Component {
        id: appearanceTab

        AppearanceSettingsPage {
            settings: root.settings
            context: root.context
        }
    }

    Component {
        id: excludedTab

        ExcludedAppsPage {
            settings: root.settings
            context: root.context
        }
    }

    Component {
        id: aboutTab

        AboutPage {
            settings: root.settings
            context: root.context
        }
    }
}
