import QtQuick
import Vantorell.Design

Column {
    padding: 24
    spacing: 12

    Caption { text: "lock.shield.fill at 72 (lock screen), clipboard at 56, unknown symbol at 48" }

    Row {
        spacing: 32
        VTHeroIcon { symbol: "lock.shield.fill"; size: 72; anchors.verticalCenter: parent.verticalCenter }
        VTHeroIcon { symbol: "clipboard"; size: 56; anchors.verticalCenter: parent.verticalCenter }
        VTHeroIcon { symbol: "no.such.symbol"; size: 48; anchors.verticalCenter: parent.verticalCenter }
    }

    Item { width: 1; height: 20 }
}
