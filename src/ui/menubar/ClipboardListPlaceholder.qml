import QtQuick
import Vantorell.Design

// Temporary: holds the history list's place in the working panel until the
// list itself is built.
VTEmptyState {
    icon: "doc.on.clipboard"
    title: qsTr("History list")
    subtitle: qsTr("The searchable history list comes here.")
}
