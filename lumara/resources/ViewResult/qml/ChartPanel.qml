// The panel of the concentration and uncertainty pages, drawn behind the page's widgets: the
// Both / Merge / Individual choice above the row list, and right of the chart the population
// check list, the Linear / Log switch and, on the uncertainty page, the legend. It stays
// disabled until the first analysis has loaded.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    readonly property real unit: resoving
    property bool isEnglish: true
    property bool uiEnable: false
    // The page's pictures and how populations are ticked: several, or exactly one.
    property string assetFolder: "qrc:/ViewResult/Concentration/assert/"
    property bool singleChoice: false
    property bool showLegend: false

    signal openNewFile()
    signal switch2Linear()
    signal switch2Log()
    signal bothWell()
    signal mergeWell()
    signal individualWell()
    signal selectBoth()
    signal selectMerge()
    signal selectIndividual()

    readonly property string titleFamily: isEnglish ? "Roboto" : "思源黑体 CN Regular"
    readonly property color titleColor: uiEnable ? "#000000" : "#999999"

    function disableAll() {
        selector.current = ""
    }

    onOpenNewFile: {
        uiEnable = true
        linearRadio.checked = true
        logRadio.checked = false
    }
    onSelectBoth: {
        disableAll()
        selector.current = "both"
    }
    onSelectMerge: {
        disableAll()
        selector.current = "merge"
    }
    onSelectIndividual: {
        disableAll()
        selector.current = "individual"
    }

    RowSetSelector {
        id: selector
        x: 24 * root.unit
        y: 24 * root.unit
        unit: root.unit
        assetFolder: root.assetFolder
        onBothClicked: root.bothWell()
        onMergeClicked: root.mergeWell()
        onIndividualClicked: root.individualWell()
    }

    TitledFrame {
        id: populationFrame
        objectName: "populationFrame"
        width: 210 * root.unit
        height: 226 * root.unit
        anchors.top: parent.top
        anchors.topMargin: 70 * root.unit
        anchors.right: parent.right
        anchors.rightMargin: 24 * root.unit
        unit: root.unit
        title: qsTr("Population Select")
        titleWidth: 119
        titleColor: root.titleColor
        titleFamily: root.titleFamily

        ListView {
            id: populationList
            objectName: "populationList"
            anchors.fill: parent
            anchors.topMargin: 22 * root.unit
            anchors.leftMargin: 2 * root.unit
            anchors.rightMargin: 2 * root.unit
            anchors.bottomMargin: 2 * root.unit
            spacing: 18 * root.unit
            clip: true
            model: populationModel

            delegate: Rectangle {
                width: populationList.width
                height: 20 * root.unit
                color: "#ffffff"

                Rectangle {
                    id: swatch
                    x: 24 * root.unit
                    width: 16 * root.unit
                    height: 16 * root.unit
                    radius: 8 * root.unit
                    anchors.verticalCenter: parent.verticalCenter
                    color: channelColor
                }
                ChartCheckBox {
                    id: tick
                    anchors.left: swatch.right
                    anchors.leftMargin: 20 * root.unit
                    anchors.verticalCenter: parent.verticalCenter
                    unit: root.unit
                    assetFolder: root.assetFolder
                    indicatorRadius: root.singleChoice ? 8 : 0
                    checkable: root.uiEnable
                    checked: channelSelect
                    onCheckedChanged: {
                        if (!root.singleChoice) {
                            populationModel.updateSelectStatus(index, checked)
                            return
                        }
                        // One population at a time: a click ticks this one alone, and the
                        // ticked one cannot be unticked.
                        populationModel.updateSelectStatus(index, true, true)
                        if (checked !== channelSelect)
                            checked = Qt.binding(function() { return channelSelect })
                    }
                }
                Text {
                    anchors.left: tick.right
                    anchors.leftMargin: 10 * root.unit
                    anchors.verticalCenter: parent.verticalCenter
                    text: channelName
                    font.family: "Roboto"
                    font.pixelSize: 13 * root.unit
                    color: "#333333"
                }
            }

            ScrollBar.vertical: ScrollBar {
                width: 8 * root.unit
                policy: populationList.contentHeight > populationList.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
                contentItem: Rectangle {
                    implicitWidth: 8 * root.unit
                    radius: 4
                    color: parent.pressed ? "#3b9fc8" : "#58b4da"
                }
            }
        }
    }

    TitledFrame {
        id: viewFrame
        width: 200 * root.unit
        height: 84 * root.unit
        anchors.top: populationFrame.bottom
        anchors.topMargin: 30 * root.unit
        anchors.left: populationFrame.left
        unit: root.unit
        title: qsTr("View")
        titleWidth: 80
        titleColor: root.titleColor
        titleFamily: root.titleFamily

        Text {
            id: linearLabel
            x: 66 * root.unit
            y: 22 * root.unit
            text: qsTr("Linear")
            font.family: "Roboto"
            font.pixelSize: 12 * root.unit
            color: "#333333"
        }
        Text {
            id: logLabel
            anchors.right: parent.right
            anchors.rightMargin: 66 * root.unit
            y: 22 * root.unit
            text: qsTr("Log")
            font.family: "Roboto"
            font.pixelSize: 12 * root.unit
            color: "#333333"
        }
        ChartRadioButton {
            id: linearRadio
            objectName: "linearRadio"
            x: 70 * root.unit
            y: linearLabel.y + 18 * root.unit
            unit: root.unit
            assetFolder: root.assetFolder
            checked: true
            enabled: root.uiEnable
            checkable: root.uiEnable
            onClicked: root.switch2Linear()
        }
        ChartRadioButton {
            id: logRadio
            objectName: "logRadio"
            anchors.right: parent.right
            anchors.rightMargin: 72 * root.unit
            y: logLabel.y + 18 * root.unit
            unit: root.unit
            assetFolder: root.assetFolder
            enabled: root.uiEnable
            checkable: root.uiEnable
            onClicked: root.switch2Log()
        }
    }

    TitledFrame {
        id: legendFrame
        objectName: "legendFrame"
        visible: root.showLegend
        width: 200 * root.unit
        height: 153 * root.unit
        anchors.top: viewFrame.bottom
        anchors.topMargin: 30 * root.unit
        anchors.left: viewFrame.left
        unit: root.unit
        title: qsTr("Legend")
        titleWidth: 80
        titleColor: root.titleColor
        titleFamily: root.titleFamily

        Repeater {
            // Only the uncertainty page has these pictures.
            model: !root.showLegend ? [] : [
                { picture: "legend_1.png", px: 12, py: 32, pw: 18, ph: 4, text: qsTr("Uncertainty curve"), tx: 35, ty: 26, tw: 0, th: 0 },
                { picture: "legend_2.png", px: 12, py: 49, pw: 12, ph: 12, text: qsTr("Estimated concentration"), tx: 35, ty: 51, tw: 0, th: 0 },
                { picture: "legend_3.png", px: 16, py: 78, pw: 9, ph: 9, text: qsTr("Optimal Concentration(cp/uL)\nminimizing uncertainty(%)"), tx: 35, ty: 76, tw: 164, th: 34 },
                { picture: "legend_4.png", px: 20, py: 117, pw: 4, ph: 18, text: qsTr("Dynamic range limit"), tx: 35, ty: 116, tw: 120, th: 17 }
            ]
            delegate: Item {
                anchors.fill: parent

                Image {
                    x: modelData.px * root.unit
                    y: modelData.py * root.unit
                    width: modelData.pw * root.unit
                    height: modelData.ph * root.unit
                    source: root.assetFolder + modelData.picture
                }
                Text {
                    x: modelData.tx * root.unit
                    y: modelData.ty * root.unit
                    width: modelData.tw > 0 ? modelData.tw * root.unit : implicitWidth
                    height: modelData.th > 0 ? modelData.th * root.unit : implicitHeight
                    text: modelData.text
                    wrapMode: modelData.tw > 0 ? Text.WordWrap : Text.NoWrap
                    lineHeightMode: index === 2 ? Text.FixedHeight : Text.ProportionalHeight
                    lineHeight: index === 2 ? 16 * root.unit : 1.0
                    verticalAlignment: index === 3 ? Text.AlignVCenter : Text.AlignTop
                    font.family: root.titleFamily
                    font.pixelSize: 12 * root.unit
                    color: root.uiEnable ? "#333333" : "#999"
                }
            }
        }
    }
}
