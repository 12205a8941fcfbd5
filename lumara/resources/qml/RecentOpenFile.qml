// The recent-files list: one row per path, newest first, numbered from 1, and the clear entry
// last. A click reports the row.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    readonly property real unit: resoving
    signal itemClicked(int index)

    implicitWidth: 240
    implicitHeight: 28 * unit
    color: "#eeeeee"
    border.width: 1
    border.color: "#d0d6da"

    ListView {
        id: list
        anchors.fill: parent
        anchors.margins: 1
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: FileModel
        ScrollBar.vertical: ScrollBar { }

        delegate: Rectangle {
            objectName: "recentRow" + index
            width: list.width
            height: 28 * root.unit
            color: area.containsMouse ? "#e0e0e0" : "#eeeeee"

            Text {
                x: 10 * root.unit
                width: parent.width - 20 * root.unit
                anchors.verticalCenter: parent.verticalCenter
                elide: Text.ElideMiddle
                text: index < FileModel.getLastIndexID() ? (index + 1) + " | " + display : display
                color: "#333333"
                font.family: "Roboto"
                font.pixelSize: 12 * root.unit
            }

            MouseArea {
                id: area
                anchors.fill: parent
                hoverEnabled: true
                onClicked: root.itemClicked(index)
            }
        }
    }
}
