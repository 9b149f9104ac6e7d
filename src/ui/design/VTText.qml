import QtQuick

// A text the user must be able to read: assistive tools find it as static
// text under its words.
Text {
    Accessible.role: Accessible.StaticText
    Accessible.name: text
}
