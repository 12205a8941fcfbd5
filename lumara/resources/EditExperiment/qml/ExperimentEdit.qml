// The experiment editor: the experiment's fluorophores and target names, the scanning
// parameters of the selected well, the comment, and the experiment table over the shared well
// list (TableWellModel in its experiment-table mode: row 0 is the header row) with its
// buttons. Every edit goes straight to the model; the page asks before removing wells.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../qml"

Rectangle {
    id: root
    readonly property real unit: resoving
    color: "#f7f9fb"

    property var selectIndexs: []
    property bool ascendSort: false
    property bool compensationFlag: false
    property bool existExcludeDroplets: false
    property bool uiEnable: false
    property bool channel1EditAble: false
    property bool channel2EditAble: false
    property bool channel3EditAble: false
    property bool channel4EditAble: false
    property bool channel5EditAble: false
    property bool channel6EditAble: false
    // Set by the page: the colour of channels 1 to 6.
    property var channelColors: []

    property var fluorophoreNames: ["----", "----", "----", "----", "----", "----"]
    property var targetNames: ["----", "----", "----", "----", "----", "----"]
    property var exposureTimes: ["----", "----", "----", "----", "----", "----"]
    property var focusValues: ["----", "----", "----", "----", "----", "----"]
    property var channelHasData: [false, false, false, false, false, false]
    property string commentText: ""

    signal updateModel()
    signal deleteWell()
    signal addWell()
    signal updateSelectIndex()
    signal commentChanged(string comment)
    signal useApplyCompensation(bool able)
    signal resetApplyCompensation()
    signal updateTargetName(int channelID, string targetName)

    onUpdateModel: {
        uiEnable = !TableWellModel.modelIsEmpty()
        existExcludeDroplets = TableWellModel.existExcludeDroplets()
        selectIndexs = TableWellModel.getSelectRow()
        var fluorophores = []
        var targets = []
        for (var channel = 1; channel <= 6; ++channel) {
            fluorophores.push(TableWellModel.getFluorophoreName(channel))
            targets.push(TableWellModel.getTargetName(channel))
        }
        fluorophoreNames = fluorophores
        targetNames = targets
        channel1EditAble = uiEnable && fluorophores[0] !== "----"
        channel2EditAble = uiEnable && fluorophores[1] !== "----"
        channel3EditAble = uiEnable && fluorophores[2] !== "----"
        channel4EditAble = uiEnable && fluorophores[3] !== "----"
        channel5EditAble = uiEnable && fluorophores[4] !== "----"
        channel6EditAble = uiEnable && fluorophores[5] !== "----"
        readScanning()
        commentText = TableWellModel.getExpComment()
        table.forceLayout()
    }
    onUpdateSelectIndex: {
        selectIndexs = TableWellModel.getSelectRow()
        TableWellModel.updateModel()
        readScanning()
    }
    onUseApplyCompensation: function(able) { compensationFlag = able }
    onResetApplyCompensation: compensationFlag = false

    function channelEditable(channel) {
        return [channel1EditAble, channel2EditAble, channel3EditAble,
                channel4EditAble, channel5EditAble, channel6EditAble][channel - 1]
    }
    function isSelected(row) {
        for (var i = 0; i < selectIndexs.length; ++i) {
            if (selectIndexs[i] === row)
                return true
        }
        return false
    }
    // Row 0 is the header and is never selected. Ctrl toggles the row (the last selected row
    // stays), a plain click selects it alone.
    function clickRow(row, modifiers) {
        if (row < 1 || !uiEnable)
            return
        if (modifiers & Qt.ControlModifier) {
            if (!isSelected(row))
                TableWellModel.addSelectRow(row)
            else
                TableWellModel.cancelSelectRow(row)
        } else {
            TableWellModel.clearSelect()
            TableWellModel.addSelectRow(row)
        }
        TableWellModel.updateModel()
        selectIndexs = TableWellModel.getSelectRow()
        readScanning()
    }
    function readScanning() {
        var well = TableWellModel.getSelectWellID()
        var exposures = []
        var focus = []
        var hasData = []
        for (var channel = 1; channel <= 6; ++channel) {
            exposures.push(TableWellModel.getExposeTime(well, channel))
            focus.push(TableWellModel.getFocus(well, channel))
            hasData.push(well !== -1 && TableWellModel.getWellChannelStatus(well, channel))
        }
        exposureTimes = exposures
        focusValues = focus
        channelHasData = hasData
    }
    function channelColour(index) {
        return index < channelColors.length ? channelColors[index] : "#999999"
    }

    component SectionTitle: Text {
        font.family: "Roboto"
        font.pixelSize: 16 * root.unit
        font.bold: true
        color: "#333333"
    }
    component ColumnTitle: Text {
        font.family: "Roboto"
        font.pixelSize: 12 * root.unit
        color: "#666666"
    }

    // A click on the page outside every field ends the editing of the one that has the keys.
    MouseArea {
        anchors.fill: parent
        onPressed: function(mouse) {
            root.forceActiveFocus()
            mouse.accepted = false
        }
    }

    Row {
        id: sections
        x: 26 * root.unit
        y: 20 * root.unit
        spacing: 40 * root.unit
        height: 250 * root.unit

        // Experiment details: per channel its colour, fluorophore and target name.
        Column {
            id: detailsColumn
            objectName: "experimentDetails"
            spacing: 6 * root.unit
            SectionTitle { text: qsTr("Experiment Details") }
            Row {
                spacing: 10 * root.unit
                Item { width: 14 * root.unit; height: 1 }
                ColumnTitle { width: 150 * root.unit; text: qsTr("Fluorophore names") }
                ColumnTitle { width: 200 * root.unit; text: qsTr("Target names") }
            }
            Repeater {
                model: 6
                Row {
                    spacing: 10 * root.unit
                    height: 28 * root.unit
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 14 * root.unit
                        height: width
                        radius: width / 2
                        color: root.channelColour(index)
                    }
                    Text {
                        width: 150 * root.unit
                        height: parent.height
                        text: root.fluorophoreNames[index]
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: "#333333"
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                    }
                    TextField {
                        objectName: "targetName" + (index + 1)
                        width: 200 * root.unit
                        height: parent.height - 2 * root.unit
                        enabled: root.channelEditable(index + 1)
                        text: root.targetNames[index]
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        leftPadding: 6 * root.unit
                        topPadding: 0
                        bottomPadding: 0
                        verticalAlignment: TextInput.AlignVCenter
                        selectByMouse: true
                        color: enabled ? "#333333" : "#999999"
                        background: Rectangle {
                            color: parent.enabled ? "#ffffff" : "transparent"
                            border.width: 1
                            border.color: parent.activeFocus ? "#3b9fc8" : "#c8d3da"
                        }
                        // Return, or leaving the field.
                        onEditingFinished: {
                            if (!enabled)
                                return
                            var channel = index + 1
                            if (text === "" || !TableWellModel.isTargetNameExist(text, channel)) {
                                text = TableWellModel.getTargetName(channel)
                                return
                            }
                            root.updateTargetName(channel, text)
                            root.updateModel()
                        }
                    }
                }
            }
        }

        // Scanning parameters of the selected well.
        Column {
            id: scanningColumn
            objectName: "scanningParameters"
            spacing: 6 * root.unit
            SectionTitle { text: qsTr("Scanning Parameters") }
            Row {
                spacing: 10 * root.unit
                Item { width: 14 * root.unit; height: 1 }
                ColumnTitle { width: 120 * root.unit; text: qsTr("Exposure times") }
                ColumnTitle { width: 100 * root.unit; text: qsTr("Focus") }
            }
            Repeater {
                model: 6
                Row {
                    spacing: 10 * root.unit
                    height: 28 * root.unit
                    Rectangle {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 14 * root.unit
                        height: width
                        radius: width / 2
                        color: root.channelColour(index)
                    }
                    Repeater {
                        model: [root.exposureTimes[index], root.focusValues[index]]
                        Text {
                            width: (index === 0 ? 120 : 100) * root.unit
                            height: 28 * root.unit
                            text: modelData
                            font.family: "Roboto"
                            font.pixelSize: 12 * root.unit
                            color: root.channelHasData[parent.rowIndex] ? "#333333" : "#bbbbbb"
                            verticalAlignment: Text.AlignVCenter
                        }
                    }
                    readonly property int rowIndex: index
                }
            }
        }

        // The experiment's comment.
        Column {
            objectName: "comments"
            spacing: 6 * root.unit
            SectionTitle { text: qsTr("Comments") }
            Rectangle {
                width: Math.max(200 * root.unit, root.width - sections.x - 26 * root.unit - 2 * sections.spacing
                                - detailsColumn.width - scanningColumn.width)
                height: 200 * root.unit
                color: "#ffffff"
                border.width: 1
                border.color: comment.activeFocus ? "#3b9fc8" : "#c8d3da"
                ScrollView {
                    anchors.fill: parent
                    anchors.margins: 2 * root.unit
                    TextArea {
                        id: comment
                        objectName: "comment"
                        enabled: root.uiEnable
                        text: root.commentText
                        wrapMode: TextEdit.Wrap
                        selectByMouse: true
                        font.family: "Roboto"
                        font.pixelSize: 12 * root.unit
                        color: "#333333"
                        background: null
                        onActiveFocusChanged: {
                            if (!activeFocus && enabled)
                                root.commentChanged(text)
                        }
                    }
                }
            }
        }
    }

    Row {
        id: buttons
        objectName: "tableButtons"
        x: 26 * root.unit
        y: sections.y + sections.height + 10 * root.unit
        spacing: 10 * root.unit
        DialogButton {
            objectName: "addButton"
            unit: root.unit
            width: 96 * root.unit
            text: qsTr("Add")
            onClicked: root.addWell()
        }
        DialogButton {
            objectName: "removeButton"
            unit: root.unit
            width: 96 * root.unit
            text: qsTr("Remove")
            enabled: root.uiEnable
            onClicked: {
                if (root.selectIndexs.length > 0)
                    root.deleteWell()
            }
        }
        DialogButton {
            objectName: "sortButton"
            unit: root.unit
            width: 96 * root.unit
            text: qsTr("Sort")
            enabled: root.uiEnable
            onClicked: {
                root.ascendSort = !root.ascendSort
                TableWellModel.sampleNameSort(root.ascendSort)
                root.selectIndexs = TableWellModel.getSelectRow()
            }
        }
        DialogButton {
            objectName: "moveDownButton"
            unit: root.unit
            width: 96 * root.unit
            text: qsTr("Move Down")
            enabled: root.uiEnable
            onClicked: {
                TableWellModel.moveDownItem(root.selectIndexs)
                root.selectIndexs = TableWellModel.getSelectRow()
                TableWellModel.updateModel()
            }
        }
        DialogButton {
            objectName: "moveUpButton"
            unit: root.unit
            width: 96 * root.unit
            text: qsTr("Move Up")
            enabled: root.uiEnable
            onClicked: {
                TableWellModel.moveUpItem(root.selectIndexs)
                root.selectIndexs = TableWellModel.getSelectRow()
                TableWellModel.updateModel()
            }
        }
    }

    TableView {
        id: table
        objectName: "experimentTable"
        x: 26 * root.unit
        y: buttons.y + buttons.height + 12 * root.unit
        width: root.width - 52 * root.unit
        height: root.height - y - 26 * root.unit
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        // An edited field has lost its binding to the model: a cell is never handed to another
        // row or column.
        reuseItems: false
        model: TableWellModel
        ScrollBar.horizontal: ScrollBar {}
        ScrollBar.vertical: ScrollBar {}
        columnWidthProvider: function(column) {
            var fixed = [180, 86, 105, 122, 126, 88]
            var perChannel = [102, 106, 90]
            return (column < 6 ? fixed[column] : perChannel[(column - 6) % 3]) * root.unit
        }
        rowHeightProvider: function(row) { return (row === 0 ? 67 : 32) * root.unit }
        delegate: ExperimentCell {
            page: root
            cellRow: row
            cellColumn: column
            wellId: model.WellIDRole
            wellName: model.WellNameRole
            wellNameId: model.WellNameIDRole
            plateIndex: model.PlateIndexRole
            sampleName: model.SampleNameRole
            wellComment: model.WellCommentRole
            effDroplets: model.EffDropletSumRole
            wellExclude: model.WellExclude
            expType: model.ExpTypeRole
            refStock: model.RefStockRole
            dilution: model.DilutionRole
        }
    }
}
