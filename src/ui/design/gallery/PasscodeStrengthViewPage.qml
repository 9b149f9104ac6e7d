import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 14

    Caption { text: "Empty" }
    PasscodeStrengthView { width: 260; passcode: "" }
    Caption { text: "\"abc\"" }
    PasscodeStrengthView { width: 260; passcode: "abc" }
    Caption { text: "\"abcdE1f\"" }
    PasscodeStrengthView { width: 260; passcode: "abcdE1f" }
    Caption { text: "\"abcdeF1!gh\"" }
    PasscodeStrengthView { width: 260; passcode: "abcdeF1!gh" }
}
