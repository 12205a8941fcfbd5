// The population choice of the legend: a flat drop-down box in the views' accent colour.
import QtQuick 2.15
import QtQuick.Controls 2.15

ComboBox {
    id: control
    property real unit: 1.0

    width: 140 * unit
    height: 24 * unit
    font.family: "Roboto"
    font.pixelSize: 12 * unit

    contentItem: Text {
        leftPadding: 8 * control.unit
        rightPadding: control.indicator.width
        text: control.displayText
        font: control.font
        color: control.enabled ? "#333333" : "#999999"
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    indicator: Text {
        x: control.width - width - 8 * control.unit
        anchors.verticalCenter: parent.verticalCenter
        text: "\u25BE"
        color: control.enabled ? "#3b9fc8" : "#cccccc"
        font.pixelSize: 12 * control.unit
    }
    background: Rectangle {
        radius: 2 * control.unit
        color: control.enabled ? "#ffffff" : "#f4f4f4"
        border.width: 1
        border.color: !control.enabled ? "#cccccc" : (control.hovered || control.popup.visible ? "#3b9fc8" : "#bbbbbb")
    }
    delegate: ItemDelegate {
        width: control.width
        height: 24 * control.unit
        highlighted: control.highlightedIndex === index
        contentItem: Text {
            text: modelData
            font: control.font
            color: "#333333"
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
    }
}
