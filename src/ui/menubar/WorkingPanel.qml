import QtQuick
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.MenuBar

// The unlocked panel: header, search, the two notices and the history.
ColumnLayout {
    id: root

    required property MainPopoverModel panel
    readonly property QtObject appState: panel.appState

    // The search field takes the focus by itself whenever it shows.
    function appear() {
    }

    spacing: 0

    PanelHeader {
        Layout.fillWidth: true
        Layout.leftMargin: 16
        Layout.rightMargin: 16
        Layout.topMargin: 14
        Layout.bottomMargin: 12
        panel: root.panel
    }

    VTSearchField {
        id: search
        objectName: "search"
        Layout.fillWidth: true
        Layout.leftMargin: 16
        Layout.rightMargin: 16
        Layout.bottomMargin: 8
        placeholder: qsTr("Search your clipboard")
        onTextChanged: {
            if (root.appState.searchQuery !== text)
                root.appState.searchQuery = text
        }
    }

    // Typing assigns the field's text, which would end a plain binding; this
    // one follows every later change of the query, such as locking's.
    Binding {
        target: search
        property: "text"
        value: root.appState.searchQuery
    }

    PanelBanner {
        objectName: "pausedBanner"
        Layout.fillWidth: true
        Layout.leftMargin: 16
        Layout.rightMargin: 16
        Layout.bottomMargin: 8
        visible: root.appState.isPaused
        symbol: "pause.fill"
        symbolSize: 12
        title: root.panel.pauseStatusText
        detail: qsTr("New copies aren't being recorded.")
        actionTitle: qsTr("Resume")
        onAction: root.panel.resumeCapture()
    }

    PanelBanner {
        objectName: "clickToPasteBanner"
        Layout.fillWidth: true
        Layout.leftMargin: 16
        Layout.rightMargin: 16
        Layout.bottomMargin: 8
        visible: !root.panel.canAutoPaste
        symbol: "hand.tap.fill"
        symbolSize: 14
        title: qsTr("Turn on click-to-paste")
        detail: qsTr("Let the X server accept synthetic keystrokes (XTEST) so items paste straight into your app.")
        actionTitle: qsTr("Enable")
        onAction: root.panel.requestAccessibility()
    }

    ClipboardListView {
        objectName: "historyList"
        Layout.fillWidth: true
        Layout.fillHeight: true
        panel: root.panel
    }
}
