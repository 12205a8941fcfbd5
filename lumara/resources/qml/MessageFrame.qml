// The face of the message boxes: a warning icon, the word-wrapped message and a row of
// buttons at the bottom right (the children). Sizes follow the host's "resoving".
import QtQuick 2.15

Rectangle {
    id: frame
    property string message: ""
    readonly property real unit: resoving
    default property alias buttons: buttonRow.data

    width: 584 * unit
    height: 215 * unit
    color: "#ffffff"
    border.width: 1
    border.color: "#c8d3da"

    Rectangle {
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 1 }
        height: 4 * frame.unit
        color: "#3b9fc8"
    }

    Image {
        x: 48 * frame.unit
        y: 52 * frame.unit
        width: 48 * frame.unit
        height: 48 * frame.unit
        source: "qrc:/assets/warning_icon.png"
    }

    Text {
        x: 128 * frame.unit
        y: 44 * frame.unit
        width: 392 * frame.unit
        height: 96 * frame.unit
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.WordWrap
        elide: Text.ElideRight
        font.family: "Roboto"
        font.pixelSize: 14 * frame.unit
        color: "#333333"
        text: frame.message
    }

    Row {
        id: buttonRow
        anchors { right: parent.right; bottom: parent.bottom; rightMargin: 32 * frame.unit; bottomMargin: 24 * frame.unit }
        spacing: 16 * frame.unit
    }
}
