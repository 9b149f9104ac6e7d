import QtQuick
import Vantorell.Design
import Vantorell.MenuBar

// The panel's content: the backdrop and one screen, chosen by the state. A
// screen is made anew each time it is entered, so it starts fresh (set-up at
// its first step, the lock screen without a message); hiding and showing the
// panel keeps it as it is.
PanelBackground {
    id: root

    required property MainPopoverModel panel

    Binding {
        target: root.panel
        property: "shown"
        value: root.Window.window !== null && root.Window.window.visible
    }

    Loader {
        id: screen
        objectName: "screen"
        anchors.fill: parent
        sourceComponent: {
            switch (root.panel.screen) {
            case MainPopoverModel.Onboarding:
                return onboarding
            case MainPopoverModel.Unlock:
                return unlock
            default:
                return working
            }
        }
        onLoaded: {
            if (root.panel.shown)
                item.appear()
        }
    }

    Connections {
        target: root.panel
        function onAppeared() {
            if (screen.item)
                screen.item.appear()
        }
    }

    Component {
        id: onboarding
        OnboardingView {
            panel: root.panel
        }
    }

    Component {
        id: unlock
        UnlockView {
            panel: root.panel
        }
    }

    Component {
        id: working
        WorkingPanel {
            panel: root.panel
        }
    }
}
