// The controls of the Quality Control page: one column of framed groups at the right edge
// (channel, brightness and contrast, exclusion, legend and population, QC figures) and the
// re-analysis and recover buttons. The page writes the properties and hears the signals.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    readonly property real unit: resoving

    signal reAnalysis()
    signal reCover()
    signal adjustBrightContrast(int type, double value)
    signal autoBrightContrast()
    signal resetBrightContrast()
    signal redo()
    signal undo()
    signal exclude()
    signal include()
    signal restore()
    signal channelClicked(int channelID)
    signal switchPopulation(string channelName)
    signal showAll(bool show)
    signal showNegtiveDroplets(bool show)
    signal showExcludeDroplets(bool show)
    signal showPositiveDroplets(bool show)
    signal showSaturatedDroplets(bool show)
    signal sigQcParamDialog()

    signal enableRedo(bool flag)
    signal enableUndo(bool flag)
    signal wellClicked(int wellID)
    signal openNewFile()
    signal initQCData()
    signal defaultQCStatus()
    signal sigChannelConstractType(int type)
    signal updateCurrentSelectChannel(int channelID)
    signal channelStatusUpdate()

    property bool uiEnable: false
    property bool channel1Status: false
    property bool channel2Status: false
    property bool channel3Status: false
    property bool channel4Status: false
    property bool channel5Status: false
    property bool channel6Status: false
    property bool qcparamEnable: false
    property int currentChannel: 1
    property int currentWellID: 0
    property string dyeName1: ""
    property string dyeName2: ""
    property string dyeName3: ""
    property string dyeName4: ""
    property string dyeName5: ""
    property string dyeName6: ""
    property string imageSharpness: "0.00"
    property string dropletNumbers: "0.00"
    property string saturatedObjects: "0"
    property bool imageSharpnessColor: true
    property bool nbAnalyzableDropletsColor: true
    property bool nbSaturatedColor: true
    property string effDroplets: ""
    property string effThld: ""
    property string posFu: ""
    property bool dropletNumsValid: true
    property string undoImage: "qrc:/assets/undo_disable.png"
    property string redoImage: "qrc:/assets/redo_disable.png"
    property color undoTextColor: "#999999"
    property color redoTextColor: "#999999"
    property bool undoEnabled: false
    property bool redoEnabled: false
    // The Auto and Reset buttons, at most one on.
    property bool autoOn: true
    property bool resetOn: false
    // The channel (1..6) that carries the reference flag; 0 none.
    property int referenceChannel: 0
    property var populationNames: []
    property color populationColor: "#e4e4e4"

    readonly property color contentColor: uiEnable ? "#333333" : "#999999"
    readonly property color titleColor: uiEnable ? "#000000" : "#999999"
    readonly property var channelColors: ["#00AF50", "#DAD707", "#FE9A5A", "#FF0000", "#AB010D", "#98E208"]

    function channelStatus(n) {
        return [channel1Status, channel2Status, channel3Status, channel4Status, channel5Status, channel6Status][n - 1]
    }
    function dyeName(n) {
        return [dyeName1, dyeName2, dyeName3, dyeName4, dyeName5, dyeName6][n - 1]
    }
    function figureColor(flag) {
        return !uiEnable ? "#999999" : (flag ? "#333" : "#F7624F")
    }

    // A category box (0 excluded, 1 negative, 2 positive, 3 saturated) set to the state; its
    // signal only when it changes.
    function setCategory(kind, state) {
        var box = [excludedBox, negativeBox, positiveBox, saturatedBox][kind]
        if (box.checked === state)
            return
        box.checked = state
        categoryChanged(kind, state)
    }
    function categoryChanged(kind, state) {
        if (kind === 0)
            showExcludeDroplets(state)
        else if (kind === 1)
            showNegtiveDroplets(state)
        else if (kind === 2)
            showPositiveDroplets(state)
        else
            showSaturatedDroplets(state)
        showAllBox.checked = excludedBox.checked && negativeBox.checked && positiveBox.checked && saturatedBox.checked
    }
    // What a click on a category box does.
    function categoryClicked(kind) {
        var box = [excludedBox, negativeBox, positiveBox, saturatedBox][kind]
        categoryChanged(kind, box.checked)
    }
    // What a click on Show All does (the box has its new state).
    function showAllClicked() {
        var state = showAllBox.checked
        for (var kind = 0; kind < 4; ++kind)
            setCategory(kind, state)
        showAllBox.checked = state
        showAll(state)
    }
    function chooseChannel(n) {
        if (!channelStatus(n))
            return
        currentChannel = n
        channelClicked(n)
    }

    onOpenNewFile: {
        excludedBox.checked = true
        negativeBox.checked = true
        positiveBox.checked = true
        saturatedBox.checked = true
        showAllBox.checked = true
        showAll(true)
    }
    onInitQCData: {
        populationBox.currentIndex = 0
        showAllBox.checked = true
        autoOn = true
        resetOn = false
    }
    onDefaultQCStatus: {
        referenceChannel = 0
        uiEnable = false
        channel1Status = false
        channel2Status = false
        channel3Status = false
        channel4Status = false
        channel5Status = false
        channel6Status = false
        currentChannel = 1
        currentWellID = 0
        imageSharpness = "0.00"
        dropletNumbers = "0.00"
        saturatedObjects = "0"
        effDroplets = "0.00"
        posFu = "0.00"
        populationNames = []
    }
    onWellClicked: {
        currentWellID = wellID
        populationNames = TableWellModel.getPopulationNames()
        populationColor = populationBox.currentText.length > 0
                ? TableWellModel.getColorByChannelName(populationBox.currentText) : "#e4e4e4"
        referenceChannel = 0
        referenceChannel = TableWellModel.getRoxChannelID(wellID)
    }
    onUpdateCurrentSelectChannel: currentChannel = channelID
    onChannelStatusUpdate: {
        for (var n = 1; n <= 6; ++n) {
            if (channelStatus(n)) {
                currentChannel = n
                return
            }
        }
    }
    onSigChannelConstractType: {
        autoOn = type !== 0 && type !== 1
        resetOn = type === 0
    }
    onEnableUndo: {
        undoEnabled = flag
        undoTextColor = flag ? "#333333" : "#999999"
        undoImage = flag ? "qrc:/assets/undo_default.png" : "qrc:/assets/undo_disable.png"
    }
    onEnableRedo: {
        redoEnabled = flag
        redoTextColor = flag ? "#333333" : "#999999"
        redoImage = flag ? "qrc:/assets/redo_default.png" : "qrc:/assets/redo_disable.png"
    }

    // A framed group with its centred title.
    component Group: Item {
        id: group
        property alias source: background.source
        property string title: ""
        width: 207 * root.unit
        Image {
            id: background
            anchors.fill: parent
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            y: 7 * root.unit
            text: group.title
            font.family: "Roboto"
            font.pixelSize: 14 * root.unit
            color: root.titleColor
        }
    }

    // An image button with default, hover, press and disable pictures.
    component ImageButton: AbstractButton {
        id: imageButton
        property string name: "add"
        property string image: "qrc:/assets/" + name + "_default.png"
        hoverEnabled: true
        background: Image {
            source: !imageButton.enabled ? "qrc:/assets/" + imageButton.name + "_disable.png"
                  : imageButton.down ? "qrc:/assets/" + imageButton.name + "_press.png"
                  : imageButton.hovered ? "qrc:/assets/" + imageButton.name + "_hover.png"
                  : imageButton.image
        }
    }

    Column {
        id: column
        x: root.width - (207 + 24) * root.unit
        y: 16 * root.unit
        spacing: 14 * root.unit

        Group {
            height: 123 * root.unit
            source: "qrc:/assets/channel_select_bg.png"
            title: qsTr("Channel Select")
            Grid {
                x: 48 * root.unit
                y: 40 * root.unit
                columns: 3
                spacing: 16 * root.unit
                rowSpacing: 12 * root.unit
                Repeater {
                    model: 6
                    ChannelButton {
                        objectName: "channelButton" + (index + 1)
                        unit: root.unit
                        enabled: root.channelStatus(index + 1)
                        circleColor: root.channelColors[index]
                        selected: root.currentChannel === index + 1 && root.uiEnable
                        reference: root.referenceChannel === index + 1
                        tipText: root.dyeName(index + 1)
                        onClicked: root.chooseChannel(index + 1)
                    }
                }
            }
        }

        Group {
            height: 136 * root.unit
            source: "qrc:/assets/contrast_adjust_bg.png"
            title: qsTr("Contrast Adjust")
            Repeater {
                // Type 2 contrast, 1 brightness.
                model: [{ label: qsTr("Contrast"), type: 2 }, { label: qsTr("Brightness"), type: 1 }]
                Item {
                    y: (42 + index * 28) * root.unit
                    width: parent.width
                    height: 15 * root.unit
                    Text {
                        x: 24 * root.unit
                        anchors.verticalCenter: parent.verticalCenter
                        text: modelData.label
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: root.contentColor
                    }
                    ImageButton {
                        x: 114 * root.unit
                        width: 15 * root.unit
                        height: 15 * root.unit
                        name: "subtract"
                        enabled: root.uiEnable
                        onClicked: {
                            root.autoOn = false
                            root.resetOn = false
                            root.adjustBrightContrast(modelData.type, -0.1)
                        }
                    }
                    ImageButton {
                        x: 146 * root.unit
                        width: 15 * root.unit
                        height: 15 * root.unit
                        name: "add"
                        enabled: root.uiEnable
                        onClicked: {
                            root.autoOn = false
                            root.resetOn = false
                            root.adjustBrightContrast(modelData.type, 0.1)
                        }
                    }
                }
            }
            Row {
                x: 16 * root.unit
                y: 92 * root.unit
                spacing: 16 * root.unit
                CustomButton {
                    objectName: "autoButton"
                    unit: root.unit
                    text: qsTr("Auto")
                    enabled: root.uiEnable
                    on: root.autoOn
                    onClicked: {
                        root.autoOn = true
                        root.resetOn = false
                        root.autoBrightContrast()
                    }
                }
                CustomButton {
                    objectName: "resetButton"
                    unit: root.unit
                    text: qsTr("Reset")
                    enabled: root.uiEnable
                    on: root.resetOn
                    onClicked: {
                        root.autoOn = false
                        root.resetOn = true
                        root.resetBrightContrast()
                    }
                }
            }
        }

        Group {
            height: 162 * root.unit
            source: "qrc:/assets/droplet_exclude_bg.png"
            title: qsTr("Droplet Exclude")
            Row {
                x: 16 * root.unit
                y: 40 * root.unit
                spacing: 16 * root.unit
                Repeater {
                    model: [{ label: qsTr("Undo"), undo: true }, { label: qsTr("Redo"), undo: false }]
                    Row {
                        width: 80 * root.unit
                        spacing: 8 * root.unit
                        ImageButton {
                            objectName: modelData.undo ? "undoButton" : "redoButton"
                            width: 28 * root.unit
                            height: 28 * root.unit
                            name: modelData.undo ? "undo" : "redo"
                            image: modelData.undo ? root.undoImage : root.redoImage
                            enabled: root.uiEnable && (modelData.undo ? root.undoEnabled : root.redoEnabled)
                            onClicked: modelData.undo ? root.undo() : root.redo()
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: modelData.label
                            font.family: "Roboto"
                            font.pixelSize: 12 * root.unit
                            color: modelData.undo ? root.undoTextColor : root.redoTextColor
                        }
                    }
                }
            }
            Row {
                x: 16 * root.unit
                y: 80 * root.unit
                spacing: 16 * root.unit
                CustomButton {
                    objectName: "excludeButton"
                    unit: root.unit
                    text: qsTr("Exclude")
                    enabled: root.uiEnable
                    onClicked: root.exclude()
                }
                CustomButton {
                    objectName: "includeButton"
                    unit: root.unit
                    text: qsTr("Include")
                    enabled: root.uiEnable
                    onClicked: root.include()
                }
            }
            CustomButton {
                objectName: "restoreButton"
                x: 16 * root.unit
                y: 120 * root.unit
                width: 176 * root.unit
                unit: root.unit
                text: qsTr("Restore")
                enabled: root.uiEnable
                onClicked: root.restore()
            }
        }

        Group {
            height: 210 * root.unit
            source: "qrc:/assets/legend_bg.png"
            title: qsTr("Legend")
            Column {
                x: 16 * root.unit
                y: 40 * root.unit
                spacing: 10 * root.unit
                LegendCheckBox {
                    id: showAllBox
                    objectName: "showAllBox"
                    unit: root.unit
                    text: qsTr("Show All")
                    checked: true
                    enabled: root.uiEnable
                    onClicked: root.showAllClicked()
                }
                LegendCheckBox {
                    id: excludedBox
                    unit: root.unit
                    text: qsTr("Excluded Droplets")
                    iconSource: "qrc:/assets/icon1.png"
                    disabledIconSource: "qrc:/assets/icon5.png"
                    checked: true
                    enabled: root.uiEnable
                    onClicked: root.categoryClicked(0)
                }
                LegendCheckBox {
                    id: negativeBox
                    unit: root.unit
                    text: qsTr("Negative Droplets")
                    iconSource: "qrc:/assets/icon2.png"
                    disabledIconSource: "qrc:/assets/icon5.png"
                    checked: true
                    enabled: root.uiEnable
                    onClicked: root.categoryClicked(1)
                }
                LegendCheckBox {
                    id: positiveBox
                    unit: root.unit
                    text: qsTr("Positive Droplets")
                    iconSource: "qrc:/assets/icon3.png"
                    disabledIconSource: "qrc:/assets/icon6.png"
                    checked: true
                    enabled: root.uiEnable
                    onClicked: root.categoryClicked(2)
                }
                LegendCheckBox {
                    id: saturatedBox
                    unit: root.unit
                    text: qsTr("Saturated Droplets")
                    iconSource: "qrc:/assets/saturated.png"
                    disabledIconSource: "qrc:/assets/icon5.png"
                    checked: true
                    enabled: root.uiEnable
                    onClicked: root.categoryClicked(3)
                }
                Row {
                    spacing: 10 * root.unit
                    LegendComboBox {
                        id: populationBox
                        objectName: "populationBox"
                        unit: root.unit
                        model: root.populationNames
                        enabled: root.uiEnable
                        onCurrentTextChanged: {
                            root.populationColor = currentText.length > 0
                                    ? TableWellModel.getColorByChannelName(currentText) : "#e4e4e4"
                            root.switchPopulation(currentText)
                        }
                    }
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 16 * root.unit
                        height: 16 * root.unit
                        radius: width / 2
                        color: root.populationColor
                    }
                }
            }
        }

        Group {
            height: 221 * root.unit
            source: "qrc:/assets/qc_parameters2_bg.png"
            title: qsTr("More Parameters")
            Column {
                y: 42 * root.unit
                width: parent.width
                spacing: 8 * root.unit
                Repeater {
                    model: [
                        { label: qsTr("Image Sharpness:"), value: root.imageSharpness, flag: root.imageSharpnessColor },
                        { label: qsTr("Nb Analyzable Droplets:"), value: root.dropletNumbers, flag: root.nbAnalyzableDropletsColor },
                        { label: qsTr("Nb Saturated Objects:"), value: root.saturatedObjects, flag: root.nbSaturatedColor }
                    ]
                    Item {
                        width: parent.width
                        height: 16 * root.unit
                        Text {
                            x: 11 * root.unit
                            text: modelData.label
                            font.family: "Roboto"
                            font.pixelSize: 12 * root.unit
                            color: root.figureColor(modelData.flag)
                        }
                        Text {
                            x: 146 * root.unit
                            text: modelData.value
                            font.family: "Roboto"
                            font.pixelSize: 12 * root.unit
                            color: root.figureColor(modelData.flag)
                        }
                    }
                }
                Item {
                    width: parent.width
                    height: 16 * root.unit
                    Text {
                        x: 11 * root.unit
                        text: "N:"
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: root.figureColor(root.dropletNumsValid)
                    }
                    Text {
                        x: 85 * root.unit
                        text: root.effDroplets
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: root.figureColor(root.dropletNumsValid)
                    }
                    Text {
                        x: 158 * root.unit
                        text: root.effThld
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: root.figureColor(root.dropletNumsValid)
                    }
                }
                Item {
                    width: parent.width
                    height: 16 * root.unit
                    Text {
                        x: 11 * root.unit
                        text: "PF\u03bc:"
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: root.contentColor
                    }
                    Text {
                        x: 85 * root.unit
                        text: root.posFu
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: root.contentColor
                    }
                }
            }
            CustomButton {
                objectName: "moreParametersButton"
                x: 16 * root.unit
                y: 221 * root.unit - height - 16 * root.unit
                width: 176 * root.unit
                unit: root.unit
                text: qsTr("More Parameters")
                enabled: root.uiEnable && root.qcparamEnable
                onClicked: root.sigQcParamDialog()
            }
        }

        Item {
            width: 207 * root.unit
            height: 28 * root.unit + 2 * root.unit
            CustomButton {
                objectName: "reanalysisButton"
                y: 2 * root.unit
                width: 90 * root.unit
                unit: root.unit
                text: qsTr("Re_Analyze")
                enabled: root.uiEnable
                onClicked: root.reAnalysis()
            }
            CustomButton {
                x: parent.width - width
                y: 2 * root.unit
                width: 90 * root.unit
                unit: root.unit
                text: qsTr("Recover")
                enabled: root.uiEnable
                onClicked: root.reCover()
            }
        }
    }
}
