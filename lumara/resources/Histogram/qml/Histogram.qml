// The histogram page's background and right-hand panels; the page lays its widgets over it
// (the well list, the plots and, inside the Preview frame, the thumbnails).
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    readonly property real unit: resoving
    property bool uiEnable: false
    property string currentLanguage: qsTr("English")
    property bool isEnglish: currentLanguage === "English"
    property bool isLinerType: true
    property bool isCommonAll: true
    property bool isSpecialKit: false
    signal initData()
    signal switchIndividual()
    signal switchCommon()
    signal switchLineModel()
    signal switchPolygonModel()
    signal autoThreshold()
    signal applyThreshold()
    signal cancelThreshold()

    width: 1920 * unit
    height: 1080 * unit
    color: "white"
    onInitData: uiEnable = true

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
