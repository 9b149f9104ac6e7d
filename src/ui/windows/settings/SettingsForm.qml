import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A grouped form: titled sections of rows over the window's own background,
// scrolling when taller than the space it is given.
ScrollView {
    id: root

    default property alias sections: column.data
    readonly property real inset: 20

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 2 * inset
    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
    clip: true

    ColumnLayout {
        id: column
        x: root.inset
        y: root.inset
        width: root.availableWidth - 2 * root.inset
        spacing: 18
    }
}
