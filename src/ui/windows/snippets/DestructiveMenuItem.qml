import QtQuick
import Vantorell.Design

// A menu item whose title is red: its action removes something at once.
WindowMenuItem {
    tint: VTColor.danger
}
