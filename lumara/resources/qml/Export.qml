// The Export page: which outputs to write and the folder that receives them.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    signal openFile()
    signal browse()
    signal exportClick(int total)

    property bool uiEnable: false
    property bool isEnglish: true
    property string filePath: "C:/Program Files/Lumara"

    readonly property string textFont: isEnglish ? "Roboto" : "思源黑体 CN Regular"
    readonly property var analysisBoxes: [resuly_table, histogram, d1_dot_plots, d2_dot_plots,
                                          concentration_graph, uncertainly_curve, lumet_images]

    onOpenFile: {
        uiEnable = true
        for (var i = 0; i < analysisBoxes.length; ++i)
            analysisBoxes[i].checked = false
    }

    function getTotal() {
        var total = 0
        for (var i = 0; i < analysisBoxes.length; ++i) {
            if (analysisBoxes[i].checkState === 2)
                total += 1 << i
        }
        return total
    }

    Image {
        anchors.fill: parent
        source: "qrc:/assert/bg_518_14636.png"
    }

    Rectangle {
        id: panel
        anchors.centerIn: parent
        width: 424 * resoving
        height: 536 * resoving
        color: "#ffffff"
        border.color: "#555555"
        border.width: 1
        enabled: root.uiEnable

        Column {
            id: choices
            x: 56 * resoving
            y: 56 * resoving
            spacing: 16 * resoving

            Text {
                text: qsTr("Please select the file format you wish to export ")
                font.pixelSize: 14 * resoving
                font.family: root.textFont
                color: panel.enabled ? "#000000" : "#999999"
            }
            ExportCheckbox {
                id: csv
                checkbox_names: ".csv"
                checked: true
                imagesource: "qrc:/assert/unpick.png"
                imagevis: true
                enabled: false
            }
            // 24 below the box: the column's 16 and 8 more.
            Item {
                width: resultTitle.width
                height: resultTitle.height + 8 * resoving
                Text {
                    id: resultTitle
                    y: 8 * resoving
                    text: qsTr("Please select the analysis result you wish to export  ")
                    font.pixelSize: 14 * resoving
                    font.family: root.textFont
                    color: panel.enabled ? "#000000" : "#999999"
                }
            }
            ExportCheckbox { id: resuly_table; checkbox_names: qsTr("Result Table"); checked: true; enabled: root.uiEnable }
            ExportCheckbox { id: histogram; checkbox_names: qsTr("Histogram"); checked: true; enabled: root.uiEnable }
            ExportCheckbox { id: d1_dot_plots; checkbox_names: qsTr("1D Dot Plots"); checked: true; enabled: root.uiEnable }
            ExportCheckbox { id: d2_dot_plots; checkbox_names: qsTr("2D Dot Plots"); checked: true; enabled: root.uiEnable }
            ExportCheckbox { id: concentration_graph; checkbox_names: qsTr("Concentration Graph"); checked: true; enabled: root.uiEnable }
            ExportCheckbox { id: uncertainly_curve; checkbox_names: qsTr("Uncertainly Curve"); checked: true; enabled: root.uiEnable }
            ExportCheckbox { id: lumet_images; checkbox_names: qsTr("Lumet Images"); checked: true; enabled: root.uiEnable }
        }

        TextField {
            id: pathField
            objectName: "pathField"
            anchors.left: choices.left
            anchors.top: choices.bottom
            anchors.topMargin: 38 * resoving
            width: 220 * resoving
            height: 24 * resoving
            // Only Browse chooses the folder: the field shows the choice and takes no typing.
            text: root.filePath
            readOnly: true
            font.pixelSize: 12 * resoving
            font.family: "Roboto"
            color: enabled ? "#333333" : "#bbbbbb"
            leftPadding: 6 * resoving
            rightPadding: 6 * resoving
            topPadding: 0
            bottomPadding: 0
            verticalAlignment: TextInput.AlignVCenter
            selectByMouse: true
            selectedTextColor: "#ffffff"
            hoverEnabled: true
            background: Rectangle {
                color: "#ffffff"
                border.width: 1
                border.color: !pathField.enabled ? "#999999"
                                                 : (pathField.hovered || pathField.activeFocus ? "#3b9fc8" : "#bbbbbb")
            }
        }
        ExportButton {
            id: browseButton
            objectName: "browseButton"
            anchors.left: pathField.right
            anchors.leftMargin: 24 * resoving
            anchors.verticalCenter: pathField.verticalCenter
            width: 72 * resoving
            height: 24 * resoving
            btnText: qsTr("Browse")
            onCurrentLanguageChanged: root.isEnglish = currentLanguage === "English"
            onClicked: root.browse()
        }
        ExportButton {
            id: exportButton
            objectName: "exportButton"
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.top: pathField.bottom
            anchors.topMargin: 38 * resoving
            width: 102 * resoving
            height: 28 * resoving
            btnText: qsTr("Export")
            onClicked: root.exportClick(root.getTotal())
        }
    }
}
