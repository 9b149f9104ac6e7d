import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vantorell.Design
import Vantorell.Windows

// The Clipboard section: how much history stays, and what is captured
// beyond text and files.
SettingsForm {
    id: page

    property QtObject settings
    property SettingsWindowContext context
    readonly property var historyLimits: [100, 250, 500, 1000, 2500]
    readonly property var retentionHours: [1, 24, 168, 720, 0]

    FormSection {
        title: "Storage"

        PickerRow {
            objectName: "keepUpTo"
            label: "Keep up to"
            choices: ["100 items", "250 items", "500 items", "1,000 items", "2,500 items"]
            selectedIndex: page.historyLimits.indexOf(Number(page.settings.maxHistoryCount))
            onChosen: index => page.settings.maxHistoryCount = page.historyLimits[index]
        }

        PickerRow {
            objectName: "autoDeleteAfter"
            label: "Auto-delete after"
            choices: ["1 hour", "24 hours", "7 days", "30 days", "Never"]
            selectedIndex: page.retentionHours.indexOf(Number(page.settings.retentionHours))
            onChosen: index => page.settings.retentionHours = page.retentionHours[index]
        }

        HelpText {
            text: "Pinned and starred items are never deleted automatically."
        }
    }

    FormSection {
        title: "Capture"

        ToggleRow {
            objectName: "captureImages"
            label: "Capture images"
            checked: page.settings.captureImages
            onToggled: on => page.settings.captureImages = on
        }

        HelpText {
            text: "Screenshots and copied images. Text and files are always captured."
        }

        // Off with the images, still showing what is stored.
        ToggleRow {
            objectName: "recognizeText"
            label: "Recognise text in images"
            checked: page.settings.recognizeTextInImages
            enabled: page.settings.captureImages
            onToggled: on => page.settings.recognizeTextInImages = on
        }

        HelpText {
            text: "Reads the words in screenshots on this computer, so you can search for them. Nothing is uploaded."
        }
    }
}
