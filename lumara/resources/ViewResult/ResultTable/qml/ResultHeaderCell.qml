// One cell of the result table's header row: the fixed columns' titles, and per population
// its seven figures, the concentration titles carrying the population's name in its colour.
import QtQuick 2.15

Rectangle {
    id: cell
    property real unit: 1.0
    property int column: 0
    property bool expanded: false
    property string populationName: ""
    property string populationColor: "#333333"
    property bool enabledLook: true

    readonly property int offset: column >= 3 ? (column - 3) % 7 : -1

    function title() {
        switch (column) {
        case 0:
            return qsTr("N.  Well Name")
        case 1:
            return qsTr("Well Comment")
        case 2:
            return qsTr("Nb Droples")
        }
        switch (offset) {
        case 0:
            return qsTr("Dilution")
        case 1:
            return expanded ? qsTr("C(cp/ul)") : populationName + qsTr("\nC(cp/ul)\n")
        case 2:
            return qsTr("Nb Pos")
        case 3:
            return qsTr("Nb Neg")
        case 4:
            return populationName + qsTr("\n(C_min(cp/ul))\n")
        case 5:
            return qsTr("C_max(cp/ul)")
        default:
            return qsTr("\nRelative Uncertainty\n(CL95%)")
        }
    }

    color: "#f5f7f8"
    clip: true

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: "#dddddd"
    }
    Text {
        anchors.fill: parent
        anchors.leftMargin: 8 * cell.unit
        anchors.rightMargin: 4 * cell.unit
        text: cell.title()
        font.family: "Roboto"
        font.pixelSize: 13 * cell.unit
        font.bold: true
        color: !cell.enabledLook ? "#999999" : (cell.offset >= 0 ? cell.populationColor : "#333333")
        horizontalAlignment: cell.column === 0 ? Text.AlignLeft : Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}
