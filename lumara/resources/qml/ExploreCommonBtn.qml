// An image button of the explore tool bar with an optional text beside its picture.
import QtQuick 2.15
import QtQuick.Controls 2.15

AbstractButton {
    id: control
    readonly property real unit: resoving

    property url imageSource: ""
    property string title: ""

    width: (title.length > 0 ? 72 : 26) * unit
    height: 26 * unit
    opacity: enabled ? 1.0 : 0.5

    background: Item {}

    contentItem: Row {
        spacing: 4 * control.unit
        Image {
            width: 24 * control.unit
            height: 24 * control.unit
            anchors.verticalCenter: parent.verticalCenter
            source: control.imageSource
            sourceSize.width: 32
            sourceSize.height: 32
            scale: control.pressed ? 0.9 : 1.0
        }
        Text {
            visible: control.title.length > 0
            anchors.verticalCenter: parent.verticalCenter
            text: control.title
            font.family: "Roboto"
            font.pixelSize: 12 * control.unit
            color: control.enabled ? "#333333" : "#999999"
        }
    }
}
