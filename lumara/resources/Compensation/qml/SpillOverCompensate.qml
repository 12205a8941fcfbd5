// The compensation page's own controls: the spill-over matrix (MatrixModel) with the
// background row (BackGrdModel) and the page's buttons below the dye spectra, and the paging
// buttons under the scatter plots. The page lays its widgets over this view and tells it
// where the plots (plotArea) and the free panel (panelArea) lie.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../qml"

Rectangle {
    id: root
    readonly property real unit: resoving
    color: "#f7f9fb"

    property bool uiEnable: false
    property bool channelValid: false
    property bool editAble: false
    property bool preEnable: false
    property bool nextEnable: true
    property rect plotArea: Qt.rect(0, 0, 0, 0)
    property rect panelArea: Qt.rect(0, 0, 0, 0)

    // To the page.
    signal preCombitionPlot()
    signal nextCombitionPlot()
    signal loadFile()
    signal saveFile()
    signal resetMatrix()
    signal applyMatrix()
    signal editCompensation()
    // From the page.
    signal initProperty()
    signal enableUI()
    signal switchEditStatus(bool valid)
    signal disableNextBtn()
    signal disablePreBtn()
    signal loadFileSuccessful()
    signal applyCompensation()

    onInitProperty: {
        channelValid = false
        preEnable = false
        editAble = false
        nextEnable = true
    }
    onEnableUI: uiEnable = true
    onSwitchEditStatus: function(valid) { channelValid = valid }
    onDisableNextBtn: nextEnable = false
    onDisablePreBtn: preEnable = false
    onLoadFileSuccessful: editAble = true
    onApplyCompensation: editAble = false

    readonly property var rowTitles: ["FAM", "VIC", "ROX", "CY5", "CY5.5", "CY3"]
    readonly property var columnTitles: ["Blue", "Cyan", "Green", "Orange", "Red", "Dark Red"]

    // Paging through the channel pairs, under the plots.
    Row {
        objectName: "pagingButtons"
        spacing: 16 * root.unit
        x: root.plotArea.x + (root.plotArea.width - width) / 2
        y: root.plotArea.y + root.plotArea.height + 10 * root.unit
        DialogButton {
            objectName: "previousButton"
            unit: root.unit
            width: 96 * root.unit
            text: qsTr("Previous")
            enabled: root.preEnable
            onClicked: {
                root.nextEnable = true
                root.preCombitionPlot()
            }
        }
        DialogButton {
            objectName: "nextButton"
            unit: root.unit
            width: 96 * root.unit
            text: qsTr("Next")
            enabled: root.nextEnable && root.uiEnable
            onClicked: {
                root.preEnable = true
                root.nextCombitionPlot()
            }
        }
    }

    Item {
        id: panel
        x: root.panelArea.x
        y: root.panelArea.y
        width: root.panelArea.width
        height: root.panelArea.height
        readonly property real titleWidth: 58 * root.unit
        readonly property real cellWidth: Math.max(60 * root.unit, (width - titleWidth) / 6)
        readonly property real cellHeight: 30 * root.unit
        // The tables keep the column widths they were laid out with; the panel's size comes
        // from the widget later.
        onCellWidthChanged: {
            matrixTable.forceLayout()
            backgroundTable.forceLayout()
        }

        Text {
            id: title
            text: qsTr("Compensate Spillover")
            font.family: "Roboto"
            font.pixelSize: 18 * root.unit
            font.bold: true
            color: "#333333"
        }

        // Column titles.
        Row {
            id: columnHeader
            anchors.top: title.bottom
            anchors.topMargin: 10 * root.unit
            x: panel.titleWidth
            Repeater {
                model: root.columnTitles
                Text {
                    width: panel.cellWidth
                    height: panel.cellHeight
                    text: modelData
                    font.family: "Roboto"
                    font.pixelSize: 12 * root.unit
                    font.bold: true
                    color: "#333333"
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
            }
        }

        Column {
            id: rowHeader
            anchors.top: columnHeader.bottom
            Repeater {
                model: root.rowTitles.concat([qsTr("Negative")])
                Text {
                    width: panel.titleWidth
                    height: panel.cellHeight
                    text: modelData
                    font.family: "Roboto"
                    font.pixelSize: 12 * root.unit
                    font.bold: true
                    color: "#333333"
                    verticalAlignment: Text.AlignVCenter
                }
            }
        }

        TableView {
            id: matrixTable
            objectName: "matrixTable"
            anchors.top: columnHeader.bottom
            x: panel.titleWidth
            width: panel.cellWidth * 6
            height: panel.cellHeight * 6
            interactive: false
            clip: true
            reuseItems: false
            model: MatrixModel
            columnWidthProvider: function(column) { return panel.cellWidth }
            rowHeightProvider: function(row) { return panel.cellHeight }
            delegate: Item {
                implicitWidth: panel.cellWidth
                implicitHeight: panel.cellHeight
                MatrixSpinBox {
                    objectName: "matrixCell_" + row + "_" + column
                    anchors.centerIn: parent
                    width: parent.width - 4 * root.unit
                    decimals: 7
                    factor: 10000000
                    from: -100000000
                    to: 100000000
                    stepSize: 1000000
                    number: row < 3 ? model.matrixvalue : model.dmatrixvalue
                    enabled: root.editAble && model.matrixable
                    onEdited: function(text) {
                        MatrixModel.modifyMatrix(row, column, text)
                        root.editCompensation()
                    }
                }
            }
        }

        TableView {
            id: backgroundTable
            objectName: "backgroundTable"
            anchors.top: matrixTable.bottom
            x: panel.titleWidth
            width: panel.cellWidth * 6
            height: panel.cellHeight
            interactive: false
            clip: true
            reuseItems: false
            model: BackGrdModel
            columnWidthProvider: function(column) { return panel.cellWidth }
            rowHeightProvider: function(row) { return panel.cellHeight }
            delegate: Item {
                implicitWidth: panel.cellWidth
                implicitHeight: panel.cellHeight
                MatrixSpinBox {
                    objectName: "backgroundCell_" + column
                    anchors.centerIn: parent
                    width: parent.width - 4 * root.unit
                    decimals: 2
                    factor: 100
                    from: 0
                    to: 6553500
                    stepSize: 1000
                    number: model.backvalue
                    enabled: root.editAble && model.backable
                    onEdited: function(text) {
                        BackGrdModel.modifyBack(column, text)
                        root.editCompensation()
                    }
                }
            }
        }

        Flow {
            objectName: "matrixButtons"
            anchors.top: backgroundTable.bottom
            anchors.topMargin: 18 * root.unit
            width: panel.width
            spacing: 10 * root.unit
            DialogButton {
                objectName: "editButton"
                unit: root.unit
                text: qsTr("Edit")
                enabled: root.channelValid
                onClicked: root.editAble = true
            }
            DialogButton {
                objectName: "loadButton"
                unit: root.unit
                text: qsTr("Load")
                enabled: root.channelValid
                onClicked: root.loadFile()
            }
            DialogButton {
                objectName: "saveButton"
                unit: root.unit
                text: qsTr("Save")
                enabled: root.channelValid
                onClicked: root.saveFile()
            }
            DialogButton {
                objectName: "computeButton"
                unit: root.unit
                text: qsTr("Compute")
                enabled: false
            }
            DialogButton {
                objectName: "resetButton"
                unit: root.unit
                text: qsTr("Reset")
                enabled: root.uiEnable
                onClicked: root.resetMatrix()
            }
            DialogButton {
                objectName: "applyButton"
                unit: root.unit
                text: qsTr("Apply")
                enabled: root.editAble
                onClicked: root.applyMatrix()
            }
        }
    }
}
