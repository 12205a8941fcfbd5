// A button of the menu bar: an icon and an optional label on the bar's white, tinted while
// hovered or pressed and faded while disabled.
import QtQuick 2.15
import QtQuick.Controls 2.15

AbstractButton {
    id: control
    property real unit: 1.0
    property string iconSource: ""
    property real iconSize: 20 * unit

    hoverEnabled: true
    font.family: "Roboto"
    font.pixelSize: 13 * unit
    opacity: enabled ? 1.0 : 0.4

    contentItem: Item {
        Row {
            anchors.centerIn: parent
            spacing: 6 * control.unit
            Image {
                anchors.verticalCenter: parent.verticalCenter
                width: control.iconSize
                height: control.iconSize
                source: control.iconSource
                visible: control.iconSource !== ""
                smooth: true
                mipmap: true
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: control.text
                visible: control.text !== ""
                font: control.font
                color: "#333333"
            }
        }
    }

    background: Rectangle {
        color: control.down ? "#cfe6f1" : (control.hovered ? "#e8f4fa" : "transparent")
        radius: 2 * control.unit
    }
}
