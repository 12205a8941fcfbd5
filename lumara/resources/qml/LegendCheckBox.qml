// A check box of the legends and option lists: a square tick box, an optional marker picture
// (another one while disabled) and the label.
import QtQuick 2.15
import QtQuick.Controls 2.15

CheckBox {
    id: control
    property real unit: 1.0
    property string iconSource: ""
    property string disabledIconSource: ""

    width: 166 * unit
    height: 16 * unit
    padding: 0
    spacing: 8 * unit
    font.family: "Roboto"
    font.pixelSize: 12 * unit

    indicator: Rectangle {
        x: control.leftPadding
        anchors.verticalCenter: parent.verticalCenter
        width: 14 * control.unit
        height: 14 * control.unit
        radius: 2 * control.unit
        color: control.checked && control.enabled ? "#3b9fc8" : "#ffffff"
        border.width: 1
        border.color: control.enabled ? "#3b9fc8" : "#cccccc"
        Text {
            anchors.centerIn: parent
            visible: control.checked
            text: "\u2713"
            color: control.enabled ? "#ffffff" : "#999999"
            font.pixelSize: 11 * control.unit
            font.bold: true
        }
    }
    contentItem: Row {
        leftPadding: control.indicator.width + control.spacing
        spacing: 6 * control.unit
        Image {
            visible: control.iconSource.length > 0
            anchors.verticalCenter: parent.verticalCenter
            width: 16 * control.unit
            height: 16 * control.unit
            source: control.enabled || control.disabledIconSource.length === 0 ? control.iconSource
                                                                               : control.disabledIconSource
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            font: control.font
            color: control.enabled ? "#333333" : "#999999"
        }
    }
}
