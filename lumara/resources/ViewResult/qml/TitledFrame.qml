// A frame with its title on a white patch across the top edge, as the View Results panels
// group their controls.
import QtQuick 2.15

Rectangle {
    id: frame
    property real unit: 1.0
    property string title: ""
    property real titleWidth: 0 // 0: as wide as the title
    property color titleColor: "#000000"
    property string titleFamily: "Roboto"

    color: "transparent"
    border.width: 1
    border.color: "#cccccc"

    Rectangle {
        width: frame.titleWidth > 0 ? frame.titleWidth * frame.unit : label.implicitWidth + 12 * frame.unit
        height: 15 * frame.unit
        y: -6 * frame.unit
        anchors.horizontalCenter: parent.horizontalCenter
        color: "#ffffff"

        Text {
            id: label
            anchors.centerIn: parent
            text: frame.title
            font.family: frame.titleFamily
            font.pixelSize: 14 * frame.unit
            color: frame.titleColor
        }
    }
}
