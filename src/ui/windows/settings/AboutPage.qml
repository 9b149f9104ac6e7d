import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The About section: the brand, the running version, what sets Vantorell
// apart, and where to read more or ask for help.
ScrollView {
    id: page

    property QtObject settings
    property SettingsWindowContext context

    contentWidth: availableWidth
    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
    clip: true

    AboutTab {
        id: tab
        context: page.context
    }

    ColumnLayout {
        width: page.availableWidth
        spacing: 16

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 12
            spacing: 12

            VTBrandMark {
                Layout.alignment: Qt.AlignHCenter
                size: 84
            }

            Label {
                Layout.alignment: Qt.AlignHCenter
                text: "Vantorell"
                font: VTFont.systemFont(24, Font.Bold)
                color: VTColor.primary
                Accessible.role: Accessible.Heading
            }

            Label {
                Layout.alignment: Qt.AlignHCenter
                text: "Privacy-first clipboard manager for Linux"
                font: VTFont.systemFont(13, Font.Normal)
                color: VTColor.secondary
            }

            Label {
                objectName: "version"
                Layout.alignment: Qt.AlignHCenter
                leftPadding: 10
                rightPadding: 10
                topPadding: 3
                bottomPadding: 3
                text: tab.versionText
                font: VTFont.monospacedFont(11, Font.Normal)
                color: VTColor.secondary
                background: SurfaceShape {
                    kind: SurfaceShape.Capsule
                    color: VTColor.withOpacity(VTColor.secondary, 0.12)
                }
            }
        }

        CardStyle {
            Layout.fillWidth: true
            Layout.leftMargin: 28
            Layout.rightMargin: 28
            cornerRadius: 16
            padding: 12

            contentItem: ColumnLayout {
                spacing: 8

                Repeater {
                    model: [
                        {symbol: "lock.fill", title: "End-to-end encrypted",
                            detail: "AES-256-GCM with keys held in the desktop keyring."},
                        {symbol: "eye.slash.fill", title: "Secret detection",
                            detail: "API keys, tokens, and cards are locked behind your account password."},
                        {symbol: "bolt.fill", title: "Built for speed",
                            detail: "Quick-paste, snippets, paste stack, and smart actions."}
                    ]

                    RowLayout {
                        required property var modelData

                        Layout.fillWidth: true
                        spacing: 12

                        Symbol {
                            Layout.preferredWidth: 22
                            Layout.alignment: Qt.AlignTop
                            name: modelData.symbol
                            pointSize: 14
                            color: VTColor.accent
                        }

                        ColumnLayout {
                            Layout.fillWidth: true
                            Layout.alignment: Qt.AlignTop
                            spacing: 1

                            Label {
                                Layout.fillWidth: true
                                text: modelData.title
                                font: VTFont.systemFont(12, Font.DemiBold)
                                color: VTColor.primary
                            }

                            Label {
                                Layout.fillWidth: true
                                text: modelData.detail
                                wrapMode: Text.WordWrap
                                font: VTFont.caption
                                color: VTColor.secondary
                            }
                        }
                    }
                }
            }
        }

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: 4

            Label {
                Layout.alignment: Qt.AlignHCenter
                text: "Made by Quenlax. Your clipboard stays on this computer."
                font: VTFont.caption
                color: VTColor.secondary
            }

            Label {
                Layout.alignment: Qt.AlignHCenter
                text: "© Quenlax. All rights reserved."
                font: VTFont.micro
                color: VTColor.secondary
                opacity: 0.7
            }
        }

        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.bottomMargin: 20
            spacing: 16

            Repeater {
                model: tab.links

                Button {
                    id: link

                    required property var modelData
                    required property int index

                    objectName: "link"
                    text: modelData.title
                    padding: 0
                    background: null
                    font: VTFont.caption
                    contentItem: Label {
                        text: link.text
                        font: link.font
                        color: VTColor.accent
                    }
                    HoverHandler {
                        cursorShape: Qt.PointingHandCursor
                    }
                    FocusRing {
                        anchors.fill: parent
                        anchors.margins: -3
                        anchors.leftMargin: -6
                        anchors.rightMargin: -6
                        cornerRadius: 6
                        visible: link.visualFocus
                    }
                    onClicked: tab.openLink(link.index)
                }
            }
        }
    }
}
