// One round channel button of the explore tool bar: a coloured circle, grey while the well
// does not use the channel, with a white "R" on the reference channel.
import QtQuick 2.15
import QtQuick.Controls 2.15

AbstractButton {
    id: control
    readonly property real unit: resoving

    property int channelId: 1
    property color circleColor: "#00af50"
    property bool status: false
    property bool refText: false

    width: 26 * unit
    height: 26 * unit
    checkable: status
    enabled: status

    background: Rectangle {
        radius: width / 2
        color: "transparent"
        border.width: control.checked ? 2 * control.unit : 0
        border.color: "#58b4da"
    }

    contentItem: Item {
        Rectangle {
            anchors.centerIn: parent
            width: 16 * control.unit
            height: 16 * control.unit
            radius: width / 2
            color: control.status ? control.circleColor : "#b3b3b3"
            Text {
                anchors.centerIn: parent
                visible: control.refText
                text: "R"
                color: "#ffffff"
                font.family: "Roboto"
                font.pixelSize: 11 * control.unit
            }
        }
    }
}
