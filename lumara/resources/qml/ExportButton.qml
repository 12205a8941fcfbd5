// The push button of the Export page.
import QtQuick 2.15
import QtQuick.Controls 2.15

Button {
    id: control
    property alias btnText: label.text
    property string currentLanguage: qsTr("English")

    hoverEnabled: true
    contentItem: Text {
        id: label
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        font.pixelSize: 12 * resoving
        font.family: "Roboto"
        color: !control.enabled ? "#999999" : (control.down ? "#ffffff" : "#333333")
    }
    background: Rectangle {
        color: !control.enabled ? "#e4e4e4" : (control.down ? "#3b9fc8" : (control.hovered ? "#e5f7ff" : "#ffffff"))
        border.width: 1
        border.color: !control.enabled ? "#999999" : (control.down || control.hovered ? "#3b9fc8" : "#555555")
    }
}
