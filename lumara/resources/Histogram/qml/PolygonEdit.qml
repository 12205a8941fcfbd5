// The polygon panel of the histogram and 1D pages: polygons are edited on the 2D page, so the
// buttons only change their own states.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../TwoDotPlot/qml"

Rectangle {
    id: panel
    readonly property real unit: resoving
    width: 207 * unit
    height: 197 * unit
    border.width: 1
    border.color: "#d4d4d4"

    Text {
        x: 12 * panel.unit; y: 10 * panel.unit
        text: qsTr("Fluorescence Thresholds")
        font.pixelSize: 14 * panel.unit; font.family: "Roboto"
        color: panel.enabled ? "black" : "#999999"
    }
    Row {
        anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: 12 * panel.unit }
        spacing: 6 * panel.unit
        Plot2DButton { id: cancelButton; width: 58 * panel.unit; text: qsTr("Cancel"); enabled: false; onClicked: { enabled = false; applyButton.enabled = false } }
        Plot2DButton { id: applyButton; width: 58 * panel.unit; text: qsTr("Apply"); enabled: false; onClicked: { enabled = false; cancelButton.enabled = false } }
        Plot2DButton { width: 58 * panel.unit; text: qsTr("Remove"); enabled: false; onClicked: enabled = false }
    }
}
