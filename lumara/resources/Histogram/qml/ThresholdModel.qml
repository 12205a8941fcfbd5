// The thresholding-mode panel: line or polygon thresholds and their scope. A click on an
// unchecked button only asks the page (the switch signals); the checks follow the page's
// isLinerType and isCommonAll.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: panel
    readonly property real unit: resoving
    property bool isLinerType: true
    property bool isCommonAll: true
    property bool isSpecialKit: false
    signal switchLineModel()
    signal switchPolygonModel()
    signal switchIndividual()
    signal switchCommon()

    width: 207 * unit
    height: 155 * unit
    border.width: 1
    border.color: "#d4d4d4"

    component Choice: RadioButton {
        id: choice
        property bool shown: false
        signal chosen()
        font.pixelSize: 12 * panel.unit
        font.family: "Roboto"
        height: 24 * panel.unit
        // Not exclusive: unchecking the other button would break its binding to the page.
        autoExclusive: false
        checked: shown
        // The page decides: a click only asks, and the check goes back to what the page shows.
        onClicked: {
            checked = Qt.binding(function() { return choice.shown })
            if (!shown)
                chosen()
        }
    }

    Text {
        x: 12 * panel.unit; y: 10 * panel.unit
        text: qsTr("Thresholding Mode")
        font.pixelSize: 14 * panel.unit; font.family: "Roboto"
        color: panel.enabled ? "black" : "#999999"
    }
    Column {
        x: 12 * panel.unit; y: 34 * panel.unit
        spacing: 0
        Text { text: qsTr("Type:"); font.pixelSize: 12 * panel.unit; font.family: "Roboto"; color: "#333333" }
        Row {
            Choice { objectName: "linesButton"; text: qsTr("Lines"); shown: panel.isLinerType; onChosen: panel.switchLineModel() }
            Choice { objectName: "polygonsButton"; text: qsTr("Polygons"); shown: !panel.isLinerType; enabled: !panel.isSpecialKit; onChosen: panel.switchPolygonModel() }
        }
        Text { text: qsTr("Definition Scope:"); font.pixelSize: 12 * panel.unit; font.family: "Roboto"; color: "#333333" }
        Choice { objectName: "individualButton"; text: qsTr("Individual per well"); shown: !panel.isCommonAll; onChosen: panel.switchIndividual() }
        Choice { objectName: "commonButton"; text: qsTr("Common for all wells"); shown: panel.isCommonAll; onChosen: panel.switchCommon() }
    }
}
