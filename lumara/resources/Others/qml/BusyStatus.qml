// The busy overlay over the whole window while long work runs: a grey veil, a spinning
// indicator in its centre, and a mouse area that keeps every press and wheel turn from the
// window underneath.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    implicitWidth: 400
    implicitHeight: 300
    color: "#44aaaaaa"

    BusyIndicator {
        objectName: "busyIndicator"
        width: 130
        height: 130
        anchors.centerIn: parent
        running: root.visible
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        hoverEnabled: true
        onWheel: function(wheel) { wheel.accepted = true }
    }
}
