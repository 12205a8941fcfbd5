// One channel of the channel choice: a coloured dot in a round frame, ringed while it is the
// shown channel, with an "R" badge on the reference channel and the dye name as its tooltip.
import QtQuick 2.15
import QtQuick.Controls 2.15

AbstractButton {
    id: control
    property real unit: 1.0
    property color circleColor: "#00AF50"
    property bool selected: false
    property bool reference: false
    property string tipText: ""

    width: 26 * unit
    height: 26 * unit
    hoverEnabled: true

    background: Rectangle {
        radius: width / 2
        color: "#ffffff"
        border.width: control.selected && control.enabled ? 2 * control.unit : 1
        border.color: !control.enabled ? "#cccccc" : (control.selected ? "#3b9fc8" : (control.hovered ? "#58b4da" : "#bbbbbb"))
    }
    contentItem: Item {
        Rectangle {
            anchors.centerIn: parent
            width: 16 * control.unit
            height: 16 * control.unit
            radius: width / 2
            color: control.circleColor
            opacity: control.enabled ? 1.0 : 0.25
        }
    }
    Rectangle {
        visible: control.reference
        x: parent.width - width / 2
        y: -height / 3
        width: 12 * control.unit
        height: 12 * control.unit
        radius: width / 2
        color: "#3b9fc8"
        Text {
            anchors.centerIn: parent
            text: "R"
            color: "#ffffff"
            font.family: "Roboto"
            font.pixelSize: 8 * control.unit
            font.bold: true
        }
    }

    ToolTip {
        visible: control.hovered && control.tipText.length > 0
        delay: 500
        contentItem: Text {
            text: control.tipText
            color: "#000000"
            font.family: "Roboto"
            font.pixelSize: 12 * control.unit
        }
        background: Rectangle {
            color: "#ffffff"
            border.color: "#cccccc"
        }
    }
}
