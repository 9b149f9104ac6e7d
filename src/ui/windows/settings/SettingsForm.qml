import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A grouped form: titled sections of rows over the window's own background,
// scrolling when taller than the space it is given, and so far as to show
// the control the keyboard moves to.
ScrollView {
    id: root

    default property alias sections: column.data
    readonly property real inset: 20
    readonly property Item keyboardItem: Window.activeFocusItem

    contentWidth: availableWidth
    contentHeight: column.implicitHeight + 2 * inset
    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
    clip: true

    onKeyboardItemChanged: reveal(keyboardItem)

    function reveal(item) {
        let inForm = item
        while (inForm && inForm !== column)
            inForm = inForm.parent
        if (!inForm)
            return
        const view = root.contentItem
        // Room for a control's ring and, at the top, its section's title.
        const margin = 2 * root.inset
        const box = item.mapToItem(view.contentItem, 0, 0, item.width, item.height)
        if (box.y - margin < view.contentY)
            view.contentY = Math.max(0, box.y - margin)
        else if (box.y + box.height + margin > view.contentY + view.height)
            view.contentY = Math.min(box.y + box.height + margin, view.contentHeight) - view.height
    }

    ColumnLayout {
        id: column
        x: root.inset
        y: root.inset
        width: root.availableWidth - 2 * root.inset
        spacing: 18
    }
}
