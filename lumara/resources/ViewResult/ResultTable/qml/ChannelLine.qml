// One channel's line of the experiment details and the scanning parameters: a coloured dot
// and two texts in fixed columns, grey when the channel has nothing to show.
import QtQuick 2.15

Item {
    id: line
    property real unit: 1.0
    property color dotColor: "#b3b3b3"
    property string first: ""
    property string second: ""
    property real secondX: 180
    property bool available: true

    height: 24 * unit

    Rectangle {
        x: 16 * line.unit
        width: 10 * line.unit
        height: 10 * line.unit
        radius: 5 * line.unit
        anchors.verticalCenter: parent.verticalCenter
        color: line.available ? line.dotColor : "#b3b3b3"
    }
    Text {
        x: 36 * line.unit
        width: (line.secondX - 40) * line.unit
        anchors.verticalCenter: parent.verticalCenter
        text: line.first
        elide: Text.ElideRight
        font.family: "Roboto"
        font.pixelSize: 13 * line.unit
        color: line.available ? "#333333" : "#999999"
    }
    Text {
        x: line.secondX * line.unit
        width: line.width - x - 8 * line.unit
        anchors.verticalCenter: parent.verticalCenter
        text: line.second
        elide: Text.ElideRight
        font.family: "Roboto"
        font.pixelSize: 13 * line.unit
        color: line.available ? "#333333" : "#999999"
    }
}
