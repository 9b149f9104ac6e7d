import QtQuick
import QtQuick.Controls
import Vantorell.Design

ApplicationWindow {
    id: window

    property var pages: []

    width: 900
    height: 800
    visible: true
    title: "Vantorell Gallery"
    color: VTColor.panel

    ScrollView {
        anchors.fill: parent

        Column {
            spacing: 8

            Repeater {
                model: window.pages

                Column {
                    required property string modelData

                    Text {
                        leftPadding: 24
                        topPadding: 16
                        text: modelData.replace(/Page$/, "")
                        font: VTFont.headline
                        color: VTColor.primary
                    }

                    Loader {
                        source: "qrc:/qt-project.org/imports/Vantorell/Gallery/" + modelData + ".qml"
                    }
                }
            }
        }
    }
}
