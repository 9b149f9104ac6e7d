import QtQuick
import Vantorell.Design

Text {
    font: VTFont.caption
    color: VTColor.secondary
}
