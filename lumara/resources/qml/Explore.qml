// The explore page's tool bar in a strip at the right: the image channel, the image's
// brightness and contrast, the exclusion of droplets and the markers' opacity. The page lays
// its widgets over the rest of this item and talks to it through the root's properties and
// signals only.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    readonly property real unit: resoving

    property bool uiEnabled: false
    property bool isEnglish: true
    property bool undoEnable: false
    property bool redoEnable: false
    property bool channel1Status: false
    property bool channel2Status: false
    property bool channel3Status: false
    property bool channel4Status: false
    property bool channel5Status: false
    property bool channel6Status: false
    property bool channel1Text: false
    property bool channel2Text: false
    property bool channel3Text: false
    property bool channel4Text: false
    property bool channel5Text: false
    property bool channel6Text: false

    // To the page.
    signal updateSelectChannel(int channelID)
    signal addBrightness()
    signal reduceBrightness()
    signal addConstract()
    signal reduceConstract()
    signal defaultBrightAndConstract()
    signal autoBrightAndConstract()
    signal redo()
    signal undo()
    signal exclude()
    signal include()
    signal restore()
    signal selectAll()
    signal updateOpacity(double opacity)
    // From the page.
    signal setSelectChannel(int channelID)
    signal updateConstractAdjustType(int type)
    signal enableRedo(bool enable)
    signal enableUndo(bool enable)

    onSetSelectChannel: {
        for (var i = 0; i < channels.count; ++i) {
            var button = channels.itemAt(i)
            if (button.channelId === channelID)
                button.checked = true
        }
    }
    onUpdateConstractAdjustType: {
        resetButton.checked = type === 0
        autoButton.checked = type !== 0 && type !== 1
    }
    onEnableRedo: redoEnable = enable
    onEnableUndo: undoEnable = enable

    function manualAdjust() {
        resetButton.checked = false
        autoButton.checked = false
    }

    ButtonGroup { id: channelGroup; exclusive: true }

    Column {
        id: strip
        enabled: root.uiEnabled
        anchors.right: parent.right
        anchors.rightMargin: 24 * root.unit
        y: 26 * root.unit
        width: 207 * root.unit
        spacing: 38 * root.unit

        // ---- Channel Select
        Item {
            width: strip.width
            height: 120 * root.unit
            Image { anchors.fill: parent; source: "qrc:/Explore/assets/group_bg.png" }
            Text {
                id: channelTitle
                anchors.horizontalCenter: parent.horizontalCenter
                y: 8 * root.unit
                text: qsTr("Channel Select")
                font.family: "Roboto"
                font.pixelSize: 14 * root.unit
                color: strip.enabled ? "#000000" : "#999"
            }
            Grid {
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: channelTitle.bottom
                anchors.topMargin: 14 * root.unit
                columns: 3
                columnSpacing: 30 * root.unit
                rowSpacing: 14 * root.unit
                Repeater {
                    id: channels
                    model: ["#00af50", "#dad707", "#fe9a5a", "#ff0000", "#ab010d", "#98e208"]
                    ExploreChannel {
                        required property int index
                        required property string modelData
                        channelId: index + 1
                        circleColor: modelData
                        status: [root.channel1Status, root.channel2Status, root.channel3Status,
                                 root.channel4Status, root.channel5Status, root.channel6Status][index]
                        refText: [root.channel1Text, root.channel2Text, root.channel3Text,
                                  root.channel4Text, root.channel5Text, root.channel6Text][index]
                        checked: index === 0
                        ButtonGroup.group: channelGroup
                        onClicked: root.updateSelectChannel(channelId)
                    }
                }
            }
        }

        // ---- Contrast Adjust
        Item {
            width: strip.width
            height: 150 * root.unit
            Image { anchors.fill: parent; source: "qrc:/Explore/assets/group_bg.png" }
            Text {
                id: adjustTitle
                anchors.horizontalCenter: parent.horizontalCenter
                y: 8 * root.unit
                text: qsTr("Contrast Adjust")
                font.family: "Roboto"
                font.pixelSize: 14 * root.unit
                color: strip.enabled ? "#000000" : "#999"
            }
            Column {
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: adjustTitle.bottom
                anchors.topMargin: 12 * root.unit
                spacing: 10 * root.unit
                Row {
                    spacing: 10 * root.unit
                    Text {
                        width: 76 * root.unit
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Contrast")
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: strip.enabled ? "#333333" : "#999999"
                    }
                    ExploreCommonBtn {
                        objectName: "reduceContrast"
                        imageSource: "qrc:/Explore/assets/minus.png"
                        onClicked: { root.manualAdjust(); root.reduceConstract() }
                    }
                    ExploreCommonBtn {
                        objectName: "addContrast"
                        imageSource: "qrc:/Explore/assets/plus.png"
                        onClicked: { root.manualAdjust(); root.addConstract() }
                    }
                }
                Row {
                    spacing: 10 * root.unit
                    Text {
                        width: 76 * root.unit
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Brightness")
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: strip.enabled ? "#333333" : "#999999"
                    }
                    ExploreCommonBtn {
                        objectName: "reduceBrightness"
                        imageSource: "qrc:/Explore/assets/minus.png"
                        onClicked: { root.manualAdjust(); root.reduceBrightness() }
                    }
                    ExploreCommonBtn {
                        objectName: "addBrightness"
                        imageSource: "qrc:/Explore/assets/plus.png"
                        onClicked: { root.manualAdjust(); root.addBrightness() }
                    }
                }
                Row {
                    spacing: 10 * root.unit
                    ExploreButton {
                        id: autoButton
                        title: qsTr("Auto")
                        checkable: true
                        onPressed: root.autoBrightAndConstract()
                    }
                    ExploreButton {
                        id: resetButton
                        title: qsTr("Reset")
                        checkable: true
                        checked: true
                        onPressed: root.defaultBrightAndConstract()
                    }
                }
            }
        }

        // ---- Droplet Exclude
        Item {
            width: strip.width
            height: 150 * root.unit
            Image { anchors.fill: parent; source: "qrc:/Explore/assets/group_bg.png" }
            Text {
                id: excludeTitle
                anchors.horizontalCenter: parent.horizontalCenter
                y: 8 * root.unit
                text: qsTr("Droplet Exclude")
                font.family: "Roboto"
                font.pixelSize: 14 * root.unit
                color: strip.enabled ? "#000000" : "#999"
            }
            Column {
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: excludeTitle.bottom
                anchors.topMargin: 12 * root.unit
                spacing: 8 * root.unit
                Row {
                    spacing: 14 * root.unit
                    ExploreCommonBtn {
                        title: qsTr("Undo")
                        imageSource: "qrc:/Explore/assets/undo.png"
                        enabled: root.undoEnable
                        onClicked: root.undo()
                    }
                    ExploreCommonBtn {
                        title: qsTr("Redo")
                        imageSource: "qrc:/Explore/assets/redo.png"
                        enabled: root.redoEnable
                        onClicked: root.redo()
                    }
                }
                Row {
                    spacing: 6 * root.unit
                    ExploreButton { objectName: "excludeButton"; width: 54 * root.unit; title: qsTr("Exclude"); onClicked: root.exclude() }
                    ExploreButton { objectName: "includeButton"; width: 54 * root.unit; title: qsTr("Include"); onClicked: root.include() }
                    ExploreButton { objectName: "restoreButton"; width: 54 * root.unit; title: qsTr("Restore"); onClicked: root.restore() }
                }
                ExploreButton {
                    width: 174 * root.unit
                    title: qsTr("Select for Exclusion")
                    onClicked: root.selectAll()
                }
            }
        }

        // ---- Population Opacity
        Item {
            width: strip.width
            height: 80 * root.unit
            Image { anchors.fill: parent; source: "qrc:/Explore/assets/group_bg.png" }
            Text {
                id: opacityTitle
                anchors.horizontalCenter: parent.horizontalCenter
                y: 8 * root.unit
                text: qsTr("Population Opacity")
                font.family: "Roboto"
                font.pixelSize: 14 * root.unit
                color: strip.enabled ? "#000000" : "#999"
            }
            Slider {
                anchors.horizontalCenter: parent.horizontalCenter
                anchors.top: opacityTitle.bottom
                anchors.topMargin: 10 * root.unit
                width: 170 * root.unit
                from: 0
                to: 1
                stepSize: 0.1
                value: 0.6
                onMoved: root.updateOpacity(value)
            }
        }
    }
}
