// The push button of the shared dialogs: 80 x 28 units, accent outline, filled while pressed.
import QtQuick 2.15
import QtQuick.Controls 2.15

Button {
    id: control
    property real unit: 1.0

    width: 80 * unit
    height: 28 * unit
    font.family: "Roboto"
    font.pixelSize: 14 * unit
    hoverEnabled: true

    contentItem: Text {
        text: control.text
        font: control.font
        color: control.down ? "#ffffff" : (control.enabled ? "#3b9fc8" : "#999999")
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 2 * control.unit
        color: control.down ? "#3b9fc8" : (control.hovered ? "#f0f8ff" : "#ffffff")
        border.width: 1
        border.color: control.enabled ? "#3b9fc8" : "#cccccc"
    }
}
