// The push button of the 2D dot-plot views: white face, light blue under the pointer, accent
// with white text while pressed, grey when disabled. 80 x 28 units unless the user sizes it.
import QtQuick 2.15
import QtQuick.Controls 2.15

Button {
    id: control

    implicitWidth: 80 * resoving
    implicitHeight: 28 * resoving
    hoverEnabled: true
    font.family: "Roboto"
    font.pixelSize: 12 * resoving

    contentItem: Text {
        text: control.text
        font: control.font
        color: !control.enabled ? "#999999" : (control.pressed ? "#ffffff" : "#333333")
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        color: !control.enabled ? "#e4e4e4"
             : control.pressed ? "#3b9fc8"
             : control.hovered ? "#e5f7ff" : "#ffffff"
        border.width: 1
        border.color: !control.enabled ? "#999999"
                    : (control.pressed || control.hovered) ? "#3b9fc8" : "#555555"
    }
}
