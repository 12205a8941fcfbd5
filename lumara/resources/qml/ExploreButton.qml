// A text button of the explore tool bar, optionally checkable; grey text while disabled.
import QtQuick 2.15
import QtQuick.Controls 2.15

AbstractButton {
    id: control
    readonly property real unit: resoving

    property string title: ""

    width: 80 * unit
    height: 26 * unit

    background: Rectangle {
        radius: 4 * control.unit
        color: control.checked ? "#bfecff" : (control.pressed ? "#e5f7ff" : "#ffffff")
        border.width: 1
        border.color: control.enabled ? "#58b4da" : "#bbbbbb"
    }

    contentItem: Text {
        text: control.title
        font.family: "Roboto"
        font.pixelSize: 12 * control.unit
        color: control.enabled ? "#333333" : "#999999"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
