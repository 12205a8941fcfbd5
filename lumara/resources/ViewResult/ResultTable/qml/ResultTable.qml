// The Result Table page: experiment details, the scanning parameters of the selected row, the
// experiment comment, and the result table of "TableWellModel" (the result model) with the
// wells, the merged samples or both. Reagent-kit packages show the two-target ratio table
// instead. Logic stays in the model; this view presents it and reports clicks.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../qml"
import "../../../qml"

Rectangle {
    id: root
    readonly property real unit: resoving

    property var selectIndexs: []
    property var resultArrayColumn: []
    property var resultArrayRow: []
    property int currentRowIndex: -1
    property bool ascendSort: false
    property bool existExcludeDroplets: false
    property bool compensationFlag: false
    property bool uiEnable: false
    property bool isSpecialKit: false
    property bool mutiShow: false

    signal useApplyCompensation(bool able)
    signal resetApplyCompensation()
    signal clickedBoth()
    signal clickedIndividual()
    signal clickedMerge()
    signal switchToBoth()
    signal switchToSignle()
    signal switchToMerge()
    signal updateModel()

    readonly property var channelColors: ["#00AF50", "#DAD707", "#FE9A5A", "#FF0000", "#AB010D", "#98E208"]
    property var fluorophoreNames: ["----", "----", "----", "----", "----", "----"]
    property var targetNames: ["----", "----", "----", "----", "----", "----"]
    property var exposureTimes: ["----", "----", "----", "----", "----", "----"]
    property var focusValues: ["----", "----", "----", "----", "----", "----"]
    property var channelScanned: [false, false, false, false, false, false]
    property string commentText: ""

    readonly property color sectionColor: uiEnable ? "#000000" : "#999999"
    readonly property color labelColor: uiEnable ? "#333333" : "#999999"
    readonly property var kitColumns: [
        { title: qsTr("Well Name"), role: "BCABLWellNameRole", width: 170 },
        { title: qsTr("Number Droplets"), role: "BCABLNbDroplets", width: 140 },
        { title: qsTr("Target"), role: "BCABLTargetNameRole", width: 200 },
        { title: qsTr("Number Pos"), role: "BCABLNbPosRole", width: 120 },
        { title: qsTr("C(cp/ul)\n[C_min, C_max]"), role: "BCABLConcentartionsRole", width: 300 },
        { title: qsTr("Copy Number"), role: "BCABLCopyNumberRole", width: 150 },
        { title: qsTr("Ratio"), role: "BCABLRatioRole", width: 110 },
        { title: qsTr("Ratio (CI95%)"), role: "BCABLRatioCI95Role", width: 200 }
    ]

    function text(value) {
        return value === undefined || value === null ? "" : String(value)
    }

    // Widths: the row header, comment and droplet columns, then seven per population, the
    // last four a sliver until the user asks for every figure.
    function columnWidth(column) {
        if (column === 0)
            return 180 * unit
        if (column === 1 || column === 2)
            return 140 * unit
        var widths = mutiShow ? [104, 90, 82, 82, 120, 123, 180] : [104, 90, 104, 1, 1, 1, 1]
        return widths[(column - 3) % 7] * unit
    }

    function rowHeight(row) {
        return (row === 0 ? 60 : 32) * unit
    }

    function refreshScanning() {
        var id = TableWellModel.getSelectWellID()
        var merged = id < 0 || TableWellModel.isMergeID(id)
        var times = [], focus = [], scanned = []
        for (var channel = 1; channel <= 6; ++channel) {
            times.push(merged ? "----" : TableWellModel.getExposeTime(id, channel))
            focus.push(merged ? "----" : TableWellModel.getFocus(id, channel))
            scanned.push(!merged && TableWellModel.getWellChannelStatus(id, channel))
        }
        exposureTimes = times
        focusValues = focus
        channelScanned = scanned
    }

    function refreshSelection() {
        selectIndexs = TableWellModel.getSelectRow()
        refreshScanning()
    }

    function rowClicked(row, modifiers) {
        if (row <= 0)
            return
        currentRowIndex = row
        if (modifiers & Qt.ControlModifier) {
            if (selectIndexs.indexOf(row) < 0)
                TableWellModel.addSelectRow(row)
            else
                TableWellModel.cancelSelectRow(row)
        } else {
            TableWellModel.clearSelect()
            TableWellModel.addSelectRow(row)
        }
        TableWellModel.updateModel()
        refreshSelection()
    }

    onUpdateModel: {
        uiEnable = !TableWellModel.modelIsEmpty()
        if (!isSpecialKit) {
            existExcludeDroplets = TableWellModel.existExcludeDroplets()
            var widths = [], heights = []
            for (var c = 0; c < TableWellModel.columnCount(); ++c)
                widths.push(columnWidth(c))
            for (var r = 0; r < TableWellModel.rowCount(); ++r)
                heights.push(rowHeight(r))
            resultArrayColumn = widths
            resultArrayRow = heights
            table.forceLayout()
            var fluorophores = [], targets = []
            for (var channel = 1; channel <= 6; ++channel) {
                fluorophores.push(TableWellModel.getFluorophoreName(channel))
                targets.push(TableWellModel.getTargetName(channel))
            }
            fluorophoreNames = fluorophores
            targetNames = targets
            refreshSelection()
        }
        commentText = TableWellModel.getExpComment()
    }
    onUseApplyCompensation: function(able) {
        if (able)
            compensationFlag = true
    }
    onResetApplyCompensation: compensationFlag = false
    onSwitchToBoth: selector.current = "both"
    onSwitchToSignle: selector.current = "individual"
    onSwitchToMerge: selector.current = "merge"
    onMutiShowChanged: {
        updateModel()
    }

    color: "#ffffff"

    // ---- Experiment details, scanning parameters, comments --------------------------------
    Row {
        id: infoBand
        x: 24 * root.unit
        y: 24 * root.unit
        spacing: 24 * root.unit

        TitledFrame {
            objectName: "experimentDetails"
            width: 440 * root.unit
            height: 200 * root.unit
            unit: root.unit
            title: qsTr("Experiment Details")
            titleColor: root.sectionColor

            Column {
                anchors.fill: parent
                anchors.topMargin: 16 * root.unit

                ChannelLine {
                    width: parent.width
                    unit: root.unit
                    dotColor: "transparent"
                    first: qsTr("Fluorophore names")
                    second: qsTr("Target names")
                    secondX: 220
                    available: root.uiEnable
                }
                Repeater {
                    model: 6
                    delegate: ChannelLine {
                        width: parent.width
                        unit: root.unit
                        dotColor: root.channelColors[index]
                        first: root.fluorophoreNames[index]
                        second: root.targetNames[index]
                        secondX: 220
                        available: root.uiEnable && root.targetNames[index] !== "----"
                    }
                }
            }
        }

        TitledFrame {
            objectName: "scanningParameters"
            width: 360 * root.unit
            height: 200 * root.unit
            unit: root.unit
            title: qsTr("Scanning Parameters")
            titleColor: root.sectionColor

            Column {
                anchors.fill: parent
                anchors.topMargin: 16 * root.unit

                ChannelLine {
                    width: parent.width
                    unit: root.unit
                    dotColor: "transparent"
                    first: qsTr("Exposure times")
                    second: qsTr("Focus")
                    secondX: 200
                    available: root.uiEnable
                }
                Repeater {
                    model: 6
                    delegate: ChannelLine {
                        width: parent.width
                        unit: root.unit
                        dotColor: root.channelColors[index]
                        first: root.exposureTimes[index]
                        second: root.focusValues[index]
                        secondX: 200
                        available: root.channelScanned[index]
                    }
                }
            }
        }

        TitledFrame {
            objectName: "comments"
            width: Math.max(120 * root.unit, root.width - 2 * 24 * root.unit - 2 * infoBand.spacing - 800 * root.unit)
            height: 200 * root.unit
            unit: root.unit
            title: qsTr("Comments")
            titleColor: root.sectionColor

            Text {
                anchors.fill: parent
                anchors.margins: 16 * root.unit
                text: root.commentText
                wrapMode: Text.WordWrap
                elide: Text.ElideRight
                font.family: "Roboto"
                font.pixelSize: 13 * root.unit
                color: root.labelColor
            }
        }
    }

    // ---- Row set, sorting, more figures, marks --------------------------------------------
    Item {
        id: toolBar
        anchors.top: infoBand.bottom
        anchors.topMargin: 16 * root.unit
        anchors.left: parent.left
        anchors.leftMargin: 24 * root.unit
        anchors.right: parent.right
        anchors.rightMargin: 24 * root.unit
        height: 50 * root.unit

        RowSetSelector {
            id: selector
            unit: root.unit
            assetFolder: "qrc:/ViewResult/ResultTable/assert/"
            onBothClicked: root.clickedBoth()
            onMergeClicked: root.clickedMerge()
            onIndividualClicked: root.clickedIndividual()
        }
        DialogButton {
            objectName: "sortButton"
            anchors.left: selector.right
            anchors.leftMargin: 24 * root.unit
            anchors.verticalCenter: parent.verticalCenter
            unit: root.unit
            width: 110 * root.unit
            visible: !root.isSpecialKit
            enabled: root.uiEnable
            text: root.ascendSort ? qsTr("Sort A-Z") : qsTr("Sort Z-A")
            onClicked: {
                root.ascendSort = !root.ascendSort
                TableWellModel.sampleNameSort(root.ascendSort)
                root.updateModel()
            }
        }
        DialogButton {
            objectName: "more_btn"
            anchors.left: selector.right
            anchors.leftMargin: 146 * root.unit
            anchors.verticalCenter: parent.verticalCenter
            unit: root.unit
            width: 110 * root.unit
            visible: !root.isSpecialKit
            enabled: root.uiEnable
            text: root.mutiShow ? qsTr("Less") : qsTr("More")
            onClicked: root.mutiShow = !root.mutiShow
        }
        Image {
            objectName: "compensationMark"
            anchors.right: exclusionMark.left
            anchors.rightMargin: 12 * root.unit
            anchors.verticalCenter: parent.verticalCenter
            width: 24 * root.unit
            height: 24 * root.unit
            source: root.compensationFlag ? "qrc:/assets/compensate_icon.png" : "qrc:/assets/compensate_diable_icon.png"
        }
        Image {
            id: exclusionMark
            objectName: "exclusionMark"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 24 * root.unit
            height: 24 * root.unit
            source: !root.uiEnable ? "qrc:/assets/exclude_icon1.png"
                    : root.existExcludeDroplets ? "qrc:/assets/exclude_icon_latter.png" : "qrc:/assets/exclude_icon_former.png"
        }
    }

    // ---- The tables ------------------------------------------------------------------------
    Rectangle {
        id: tableArea
        anchors.top: toolBar.bottom
        anchors.topMargin: 10 * root.unit
        anchors.left: toolBar.left
        anchors.right: toolBar.right
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 24 * root.unit
        border.width: 1
        border.color: "#dddddd"
        clip: true

        TableView {
            id: table
            objectName: "resultTable"
            anchors.fill: parent
            anchors.margins: 1
            visible: !root.isSpecialKit
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: TableWellModel
            columnWidthProvider: function(column) { return root.columnWidth(column) }
            rowHeightProvider: function(row) { return root.rowHeight(row) }
            ScrollBar.vertical: ScrollBar {}
            ScrollBar.horizontal: ScrollBar {}

            delegate: Rectangle {
                id: cell
                readonly property int cellColumn: column
                readonly property int group: column >= 3 ? Math.floor((column - 3) / 7) : -1
                readonly property int offset: column >= 3 ? (column - 3) % 7 : -1
                readonly property bool selected: root.selectIndexs.indexOf(row) >= 0

                function cellText() {
                    switch (column) {
                    case 0:
                        return row + ".  " + root.text(model.WellNameRole)
                    case 1:
                        return root.text(model.WellCommentRole)
                    case 2:
                        return root.text(model.EffDropletSumRole)
                    }
                    switch (offset) {
                    case 0:
                        return root.text(model.DilutionRole)
                    case 1:
                        return root.text(model.ConcentrationRole)
                    case 2:
                        return root.text(model.NbPosRole)
                    case 3:
                        return root.text(model.NbNegtiveRole)
                    case 4:
                        return root.text(model.MinConcentrationRole)
                    case 5:
                        return root.text(model.MaxConcentrationRole)
                    default:
                        // A figure without a value reads as such, without a unit.
                        var uncertainty = root.text(model.RelativeUncertainlyRole)
                        return isNaN(Number(uncertainty)) ? uncertainty : uncertainty + "%"
                    }
                }

                implicitWidth: 100
                implicitHeight: 32
                color: selected ? "#bdeaff" : (group >= 0 ? TableWellModel.getPopulationBackgroundColor(group) : "#ffffff")

                ResultHeaderCell {
                    anchors.fill: parent
                    visible: row === 0
                    unit: root.unit
                    column: cell.cellColumn
                    expanded: root.mutiShow
                    populationName: cell.group >= 0 ? TableWellModel.getPopulationNameByIndex(cell.group) : ""
                    populationColor: cell.group >= 0 ? TableWellModel.getPopulationTextColor(cell.group) : "#333333"
                    enabledLook: root.uiEnable
                }
                Text {
                    visible: row !== 0
                    anchors.fill: parent
                    anchors.leftMargin: 8 * root.unit
                    anchors.rightMargin: (column === 0 ? 28 : 4) * root.unit
                    text: row !== 0 && width > 4 ? cell.cellText() : ""
                    elide: Text.ElideRight
                    font.family: "Roboto"
                    font.pixelSize: 13 * root.unit
                    color: "#333333"
                    horizontalAlignment: column === 0 ? Text.AlignLeft : Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                Image {
                    visible: row !== 0 && column === 0
                    anchors.right: parent.right
                    anchors.rightMargin: 8 * root.unit
                    anchors.verticalCenter: parent.verticalCenter
                    width: 16 * root.unit
                    height: 16 * root.unit
                    source: model.WellExclude === true ? "qrc:/assets/exclude_icon_latter.png" : "qrc:/assets/exclude_icon_former.png"
                }
                MouseArea {
                    anchors.fill: parent
                    enabled: row !== 0
                    onClicked: function(mouse) { root.rowClicked(row, mouse.modifiers) }
                }
            }
        }

        // The header row stays in view while the rows scroll under it.
        Item {
            objectName: "stickyHeader"
            visible: !root.isSpecialKit && table.rows > 0
            x: 1
            y: 1
            width: table.width
            height: root.rowHeight(0)
            clip: true

            Row {
                x: -table.contentX
                Repeater {
                    model: Math.max(0, table.columns)
                    delegate: ResultHeaderCell {
                        readonly property int group: index >= 3 ? Math.floor((index - 3) / 7) : -1
                        width: root.columnWidth(index)
                        height: root.rowHeight(0)
                        unit: root.unit
                        column: index
                        expanded: root.mutiShow
                        populationName: group >= 0 ? TableWellModel.getPopulationNameByIndex(group) : ""
                        populationColor: group >= 0 ? TableWellModel.getPopulationTextColor(group) : "#333333"
                        enabledLook: root.uiEnable
                    }
                }
            }
        }

        ListView {
            id: kitTable
            objectName: "kitTable"
            anchors.fill: parent
            anchors.margins: 1
            visible: root.isSpecialKit
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: TableWellModel
            headerPositioning: ListView.OverlayHeader
            ScrollBar.vertical: ScrollBar {}

            header: Rectangle {
                z: 2
                width: kitTable.width
                height: 56 * root.unit
                color: "#f5f7f8"

                Row {
                    anchors.fill: parent
                    Repeater {
                        model: root.kitColumns
                        delegate: Text {
                            width: modelData.width * root.unit
                            height: parent.height
                            text: modelData.title
                            font.family: "Roboto"
                            font.pixelSize: 13 * root.unit
                            font.bold: true
                            color: root.labelColor
                            horizontalAlignment: Text.AlignHCenter
                            verticalAlignment: Text.AlignVCenter
                        }
                    }
                }
            }

            // Rows without a well of two targets (and the table's header row) stay empty.
            delegate: Rectangle {
                id: kitRow
                readonly property var rowData: model
                visible: root.text(model.BCABLWellNameRole) !== ""
                width: kitTable.width
                height: visible ? 70 * root.unit : 0
                color: index % 2 === 0 ? "#e9f5ee" : "#ffffff"

                Row {
                    anchors.fill: parent
                    Repeater {
                        model: root.kitColumns
                        delegate: Text {
                            width: modelData.width * root.unit
                            height: parent.height
                            text: root.text(kitRow.rowData[modelData.role])
                            font.family: "Roboto"
                            font.pixelSize: 12 * root.unit
                            color: "#333333"
                            horizontalAlignment: Text.AlignHCenter
                            verticalAlignment: Text.AlignVCenter
                        }
                    }
                }
            }
        }
    }
}
