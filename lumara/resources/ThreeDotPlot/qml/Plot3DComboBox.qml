// The combo box of the 3D panel: 142 x 24 units, accent border while pressed, hovered or open.
import QtQuick 2.15
import QtQuick.Controls 2.15

ComboBox {
    id: control

    implicitWidth: 142 * resoving
    implicitHeight: 24 * resoving
    hoverEnabled: true
    font.family: "Roboto"
    font.pixelSize: 12 * resoving

    indicator: Image {
        x: control.width - width - 6 * resoving
        y: (control.height - height) / 2
        width: 12 * resoving
        height: 12 * resoving
        source: "qrc:/ThreeDotPlot/assets/trigon.png"
    }
    contentItem: Text {
        leftPadding: 8 * resoving
        rightPadding: 20 * resoving
        text: control.displayText
        font: control.font
        color: control.enabled ? "#333333" : "#999999"
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        color: "#ffffff"
        border.width: 1
        border.color: (control.pressed || control.hovered || control.popup.visible) ? "#3b9fc8" : "#cccccc"
    }
}
