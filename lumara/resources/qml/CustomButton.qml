// The text button of the quality-control views: accent outline, filled while pressed or while
// it is the checked one of a pair.
import QtQuick 2.15
import QtQuick.Controls 2.15

Button {
    id: control
    property real unit: 1.0
    property bool on: false

    width: 80 * unit
    height: 28 * unit
    font.family: "Roboto"
    font.pixelSize: 12 * unit
    hoverEnabled: true

    contentItem: Text {
        text: control.text
        font: control.font
        color: !control.enabled ? "#999999" : ((control.down || control.on) ? "#ffffff" : "#333333")
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
    background: Rectangle {
        radius: 2 * control.unit
        color: !control.enabled ? "#e4e4e4"
             : ((control.down || control.on) ? "#3b9fc8" : (control.hovered ? "#e5f7ff" : "#ffffff"))
        border.width: 1
        border.color: !control.enabled ? "#999999" : ((control.down || control.hovered || control.on) ? "#3b9fc8" : "#555555")
    }
}
