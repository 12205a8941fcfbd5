// A round check box of the Export page: 128 x 16 units, the tick drawn in the circle.
import QtQuick 2.15
import QtQuick.Controls 2.15

CheckBox {
    id: control
    property alias checkbox_names: label.text
    property alias boxable: control.checkable
    property alias imagevis: mark.visible
    property alias imagesource: mark.source
    property alias boxchecked: control.checked

    width: 128 * resoving
    height: 16 * resoving
    checked: false
    enabled: false
    checkable: true
    focus: true
    padding: 0

    indicator: Rectangle {
        width: 16 * resoving
        height: 16 * resoving
        radius: 8 * resoving
        color: "#ffffff"
        border.width: 1
        border.color: control.checkable && control.enabled ? "#58b4da" : "#cccccc"
        Image {
            id: mark
            x: 4 * resoving
            y: 6 * resoving
            width: 9 * resoving
            height: 6 * resoving
            source: "qrc:/assert/tick.png"
            visible: control.checkable && control.enabled && control.checked
        }
    }
    contentItem: Text {
        id: label
        leftPadding: 16 * resoving + 16 * resoving
        verticalAlignment: Text.AlignVCenter
        font.pixelSize: 12 * resoving
        font.family: "Roboto"
        color: control.enabled ? "#333333" : "#999999"
    }
}
