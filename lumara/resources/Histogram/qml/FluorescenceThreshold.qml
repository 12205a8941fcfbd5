// The line-threshold panel: one row per channel of the page's "ThresholdData" with the channel
// colour and its threshold text, and the Auto, Apply and Cancel buttons.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../TwoDotPlot/qml"

Rectangle {
    id: panel
    readonly property real unit: resoving
    readonly property var rows: typeof ThresholdData !== "undefined" ? ThresholdData : null
    signal autoThreshold()
    signal applyThreshold()
    signal cancelThreshold()

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
    Column {
        x: 12 * panel.unit; y: 36 * panel.unit
        spacing: 6 * panel.unit
        Repeater {
            model: panel.rows
            delegate: Row {
                spacing: 10 * panel.unit
                Rectangle {
                    width: 24 * panel.unit; height: 20 * panel.unit
                    anchors.verticalCenter: parent.verticalCenter
                    color: ChannelColor
                }
                TextField {
                    objectName: "threshold" + ChannelID
                    width: 120 * panel.unit; height: 24 * panel.unit
                    topPadding: 0; bottomPadding: 0
                    verticalAlignment: TextInput.AlignVCenter
                    font.pixelSize: 12 * panel.unit; font.family: "Roboto"
                    selectByMouse: true
                    text: ChannelThreshold
                    enabled: ThresholdEditAble
                    // An integer box from 0 to 70000 that never rewrites what it shows when it
                    // loses the focus: a text that is no threshold stays as typed and is refused.
                    validator: panel.rows ? panel.rows.validator : null
                    onTextEdited: panel.rows.setChannelThresholdValue(ChannelID, text)
                }
            }
        }
    }
    Row {
        anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: 12 * panel.unit }
        spacing: 6 * panel.unit
        Plot2DButton { objectName: "autoButton"; width: 58 * panel.unit; text: qsTr("Auto"); onClicked: panel.autoThreshold() }
        Plot2DButton { objectName: "applyButton"; width: 58 * panel.unit; text: qsTr("Apply"); onClicked: panel.applyThreshold() }
        Plot2DButton { objectName: "cancelButton"; width: 58 * panel.unit; text: qsTr("Cancel"); onClicked: panel.cancelThreshold() }
    }
}
