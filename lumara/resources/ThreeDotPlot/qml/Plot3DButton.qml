// The checkable push button of the 3D views: white face with a thin dark border, accent with
// white text while pressed, grey when disabled.
import QtQuick 2.15
import QtQuick.Controls 2.15

Button {
    id: control

    implicitWidth: 80 * resoving
    implicitHeight: 28 * resoving
    checkable: true
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
        color: control.pressed ? "#3b9fc8" : "#ffffff"
        border.width: 1
        border.color: control.enabled ? "#555555" : "#999999"
    }
}
