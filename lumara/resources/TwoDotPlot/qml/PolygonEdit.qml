// The 2D page's polygon box: whether a finished polygon asks for a new population, and Remove,
// Apply and Cancel, enabled by the page's properties.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: panel
    readonly property real unit: resoving
    property bool enableRemove: false
    property bool enableApply: false
    property bool enableCancel: false
    property alias autoCreate: autoBox.checked
    signal autoCreatePopulations(bool flag)
    signal removePolygon()
    signal applyPolygonChange()
    signal cancelPolygonChange()

    width: 207 * unit
    height: 197 * unit
    border.width: 1
    border.color: "#d4d4d4"

    Text {
        x: 12 * panel.unit; y: 10 * panel.unit
        text: qsTr("Polygon Editor")
        font.pixelSize: 14 * panel.unit; font.family: "Roboto"
        color: panel.enabled ? "black" : "#999999"
    }
    CheckBox {
        id: autoBox
        objectName: "autoCreateBox"
        x: 6 * panel.unit; y: 40 * panel.unit
        height: 24 * panel.unit
        checked: true
        text: qsTr("Auto Population Creation")
        font.pixelSize: 12 * panel.unit; font.family: "Roboto"
        onCheckedChanged: panel.autoCreatePopulations(checked)
    }
    Text {
        x: 12 * panel.unit; y: 74 * panel.unit
        width: parent.width - 24 * panel.unit
        wrapMode: Text.WordWrap
        text: qsTr("Ctrl + right click adds a point; releasing Ctrl closes the polygon.")
        font.pixelSize: 11 * panel.unit; font.family: "Roboto"
        color: "#666666"
    }
    Row {
        anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: 12 * panel.unit }
        spacing: 4 * panel.unit
        Plot2DButton {
            objectName: "removeButton"; width: 62 * panel.unit; text: qsTr("Remove")
            enabled: panel.enableRemove
            onClicked: panel.removePolygon()
        }
        Plot2DButton {
            objectName: "polygonApplyButton"; width: 62 * panel.unit; text: qsTr("Apply")
            enabled: panel.enableApply
            onClicked: panel.applyPolygonChange()
        }
        Plot2DButton {
            objectName: "polygonCancelButton"; width: 62 * panel.unit; text: qsTr("Cancel")
            enabled: panel.enableCancel
            onClicked: panel.cancelPolygonChange()
        }
    }
}
