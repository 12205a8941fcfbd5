// The 1D dot-plot page's background and right-hand panels; the page lays its widgets over it
// (the well list, the plots and, inside the Preview frame, the thumbnails).
import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../Histogram/qml"
import "../../TwoDotPlot/qml"

Rectangle {
    id: root
    readonly property real unit: resoving
    property bool uiEnable: false
    property bool isLinerType: true
    property bool isCommonAll: true
    property bool isSpecialKit: false
    property bool moreParameterEnable: true
    property bool axisApply: true
    property bool parametersShow: false
    property string effDroplets: ""
    property string refDroplets: ""
    property string pFu: ""
    property bool dropletNumbersAbnormal: true
    signal initData()
    signal switchIndividual()
    signal switchCommon()
    signal switchLineModel()
    signal switchPolygonModel()
    signal autoThreshold()
    signal applyThreshold()
    signal cancelThreshold()
    signal switchAxisApplyAll()
    signal switchAxisIndividual()
    signal sigQcParamDialog()

    width: 1920 * unit
    height: 1080 * unit
    color: "white"
    onInitData: {
        uiEnable = true
        axisApply = true
        axisIndividual.checked = true
    }

    Column {
        id: column
        anchors { right: parent.right; rightMargin: 24 * root.unit; top: parent.top; topMargin: 24 * root.unit; bottom: parent.bottom; bottomMargin: 60 * root.unit }
        width: 207 * root.unit
        spacing: 22 * root.unit

        ThresholdModel {
            objectName: "thresholdMode"
            enabled: root.uiEnable
            isLinerType: root.isLinerType
            isCommonAll: root.isCommonAll
            isSpecialKit: root.isSpecialKit
            onSwitchLineModel: root.switchLineModel()
            onSwitchPolygonModel: root.switchPolygonModel()
            onSwitchIndividual: root.switchIndividual()
            onSwitchCommon: root.switchCommon()
        }
        Item {
            width: 207 * root.unit
            height: 197 * root.unit
            FluorescenceThreshold {
                objectName: "fluorescenceThreshold"
                visible: root.isLinerType
                enabled: root.uiEnable
                onAutoThreshold: root.autoThreshold()
                onApplyThreshold: root.applyThreshold()
                onCancelThreshold: root.cancelThreshold()
            }
            PolygonEdit {
                objectName: "polygonEdit"
                visible: !root.isLinerType
                enabled: root.uiEnable
            }
        }
        Rectangle {
            objectName: "axisScope"
            width: 207 * root.unit
            height: 90 * root.unit
            border.width: 1
            border.color: "#d4d4d4"
            enabled: root.uiEnable && root.axisApply
            Text {
                x: 12 * root.unit; y: 10 * root.unit
                text: qsTr("Coordinate Scope")
                font.pixelSize: 14 * root.unit; font.family: "Roboto"
                color: parent.enabled ? "black" : "#999999"
            }
            Column {
                x: 12 * root.unit; y: 34 * root.unit
                RadioButton {
                    id: axisIndividual
                    objectName: "axisIndividualButton"
                    height: 24 * root.unit
                    text: qsTr("Indiviudal per well")
                    font.pixelSize: 12 * root.unit; font.family: "Roboto"
                    checked: true
                    onClicked: root.switchAxisIndividual()
                }
                RadioButton {
                    objectName: "axisApplyAllButton"
                    height: 24 * root.unit
                    text: qsTr("Apply for all wells")
                    font.pixelSize: 12 * root.unit; font.family: "Roboto"
                    checked: !axisIndividual.checked
                    onClicked: root.switchAxisApplyAll()
                }
            }
        }
        Rectangle {
            objectName: "dropletQuality"
            width: 207 * root.unit
            height: 116 * root.unit
            border.width: 1
            border.color: "#d4d4d4"
            Text {
                x: 12 * root.unit; y: 10 * root.unit
                text: qsTr("Droplet Quality")
                font.pixelSize: 14 * root.unit; font.family: "Roboto"
                color: root.uiEnable ? "black" : "#999999"
            }
            Grid {
                x: 12 * root.unit; y: 34 * root.unit
                columns: 2
                columnSpacing: 8 * root.unit
                visible: root.parametersShow
                Text { text: qsTr("Droplets:"); font.pixelSize: 12 * root.unit; font.family: "Roboto"; color: "#333333" }
                Text { objectName: "effDroplets"; text: root.effDroplets; font.pixelSize: 12 * root.unit; font.family: "Roboto"; color: root.dropletNumbersAbnormal ? "#333" : "#F7624F" }
                Text { text: qsTr("Reference:"); font.pixelSize: 12 * root.unit; font.family: "Roboto"; color: "#333333" }
                Text { text: root.refDroplets; font.pixelSize: 12 * root.unit; font.family: "Roboto"; color: "#333333" }
                Text { text: qsTr("pFu:"); font.pixelSize: 12 * root.unit; font.family: "Roboto"; color: "#333333" }
                Text { text: root.pFu; font.pixelSize: 12 * root.unit; font.family: "Roboto"; color: "#333333" }
            }
            Plot2DButton {
                objectName: "moreParameters"
                width: 120 * root.unit
                anchors { right: parent.right; bottom: parent.bottom; rightMargin: 10 * root.unit; bottomMargin: 8 * root.unit }
                text: qsTr("More Parameters")
                enabled: root.uiEnable && root.parametersShow && root.moreParameterEnable
                onClicked: root.sigQcParamDialog()
            }
        }
        Rectangle {
            objectName: "preview"
            width: 207 * root.unit
            height: column.height - y
            border.width: 1
            border.color: "#d4d4d4"
            Text {
                x: 12 * root.unit; y: 6 * root.unit
                text: qsTr("Preview")
                font.pixelSize: 14 * root.unit; font.family: "Roboto"
                color: root.uiEnable ? "black" : "#999999"
            }
        }
    }
}
