// The population editor: the population list on the left with Add and Delete, the edit panel
// of the chosen population, and the zones of the document's thresholding mode with the marks
// that bind them to the population.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/TwoDotPlot/qml" as TwoD

Rectangle {
    id: root
    width: 1920 * resoving
    height: 1080 * resoving
    color: "#ffffff"

    property bool enableUI: false
    property bool lineType: true

    // The hosts' models; absent while the view is loaded on its own.
    readonly property var lines: typeof lineModel !== "undefined" ? lineModel : null
    readonly property var polygons: typeof polygonModel !== "undefined" ? polygonModel : null
    readonly property var populationList: typeof populationModel !== "undefined" ? populationModel : null

    property int chosenIndex: -1
    property bool editing: false
    property string shownColor: "#b37c4e"
    property bool negativeEditing: false
    property var lineHeader: []
    property var polygonHeader: []
    // Column counts of the compact headers, read on every updateModel().
    property int lineColumns: 0
    property int polygonColumns: 0

    signal updateModel()
    signal updatePopulation(int index)
    signal resizeLayout(int width, int height)
    signal editNegetive(bool flag)
    signal addPopulation()
    signal deletePopulation()
    signal deletePopulationCompleted()
    signal popupColorDialog(string color)
    signal setPopulationColor(string color)
    signal apply(string name, string color, bool isNegative)
    signal modityNameExist()
    signal setNegativeStatus(int row, bool flag)
    signal setPositiveStatus(int row, bool flag)
    signal applySucceed()
    signal populationEditAble(bool flag)
    signal initQMLUI()

    function closePanel() {
        editing = false
        nameExistText.visible = false
    }

    onInitQMLUI: {
        nameField.text = ""
        restoreDefault.checked = true
        negativeEditing = false
        closePanel()
        chosenIndex = -1
    }
    onUpdateModel: {
        if (lines) {
            lineHeader = lines.getColumNames()
            lineColumns = lines.columnSize()
            lineTable.forceLayout()
        }
        if (polygons) {
            polygonHeader = polygons.getColumNames()
            polygonColumns = polygons.columnSize()
            polygonTable.forceLayout()
        }
    }
    onSetPopulationColor: shownColor = color
    onModityNameExist: nameExistText.visible = true
    onApplySucceed: closePanel()
    onDeletePopulationCompleted: {
        nameField.text = ""
        closePanel()
        chosenIndex = -1
    }
    onPopulationEditAble: {
        editNegatives.checked = flag
        restoreDefault.checked = !flag
        negativeEditing = flag
    }

    // ---- Populations ---------------------------------------------------------------------
    Rectangle {
        id: listBox
        objectName: "populationBox"
        x: 26 * resoving
        y: 26 * resoving
        width: 360 * resoving
        height: parent.height - 56 * resoving
        border.width: 1
        border.color: "#cccccc"
        enabled: root.enableUI

        Text {
            id: listTitle
            x: 16 * resoving
            y: 14 * resoving
            text: qsTr("Populations")
            font.family: "Roboto"
            font.pixelSize: 16 * resoving
            color: "#3B9FC8"
        }
        ListView {
            id: populationView
            objectName: "populationView"
            anchors.top: listTitle.bottom
            anchors.topMargin: 12 * resoving
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: listButtons.top
            anchors.margins: 8 * resoving
            clip: true
            model: root.populationList
            delegate: Rectangle {
                width: populationView.width
                height: 32 * resoving
                color: index === root.chosenIndex ? "#bfecff" : (index % 2 === 0 ? "#e9f5ee" : "#ffffff")
                Rectangle {
                    x: 12 * resoving
                    anchors.verticalCenter: parent.verticalCenter
                    width: 16 * resoving
                    height: 16 * resoving
                    radius: width / 2
                    color: surfaceColor
                }
                Text {
                    x: 40 * resoving
                    width: parent.width - 48 * resoving
                    anchors.verticalCenter: parent.verticalCenter
                    text: name
                    elide: Text.ElideRight
                    font.family: "Roboto"
                    font.pixelSize: 13 * resoving
                    color: "#333333"
                }
                MouseArea {
                    anchors.fill: parent
                    enabled: !root.editing
                    onClicked: {
                        root.chosenIndex = index
                        root.shownColor = surfaceColor
                        nameField.text = name
                        nameExistText.visible = false
                        root.updatePopulation(index)
                    }
                }
            }
        }
        Row {
            id: listButtons
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 16 * resoving
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 12 * resoving
            TwoD.Plot2DButton {
                objectName: "addButton"
                text: qsTr("Add")
                enabled: !root.editing
                onClicked: root.addPopulation()
            }
            TwoD.Plot2DButton {
                objectName: "deleteButton"
                text: qsTr("Delete")
                enabled: root.chosenIndex >= 0
                onClicked: if (root.chosenIndex >= 0) root.deletePopulation()
            }
            TwoD.Plot2DButton {
                objectName: "editButton"
                text: qsTr("Edit")
                visible: !root.editing
                enabled: root.chosenIndex >= 0
                onClicked: root.editing = true
            }
        }
    }

    // ---- Edit panel ----------------------------------------------------------------------
    Rectangle {
        id: editPanel
        objectName: "editPanel"
        anchors.left: listBox.right
        anchors.leftMargin: 24 * resoving
        y: listBox.y
        width: 420 * resoving
        height: 340 * resoving
        border.width: 1
        border.color: "#cccccc"
        visible: root.editing

        Text {
            id: nameLabel
            x: 20 * resoving
            y: 24 * resoving
            width: 70 * resoving
            text: qsTr("Name:")
            font.family: "Roboto"
            font.pixelSize: 13 * resoving
        }
        TextField {
            id: nameField
            objectName: "nameField"
            anchors.left: nameLabel.right
            anchors.verticalCenter: nameLabel.verticalCenter
            width: 300 * resoving
            height: 28 * resoving
            font.family: "Roboto"
            font.pixelSize: 12 * resoving
            selectByMouse: true
            onTextChanged: nameExistText.visible = false
        }
        Text {
            id: nameExistText
            objectName: "nameExistText"
            x: nameField.x
            y: nameField.y + nameField.height + 2 * resoving
            visible: false
            text: qsTr("Name has exist!")
            color: "#FF0000"
            font.family: "Roboto"
            font.pixelSize: 12 * resoving
        }
        Text {
            id: colorLabel
            x: 20 * resoving
            y: 84 * resoving
            width: 70 * resoving
            text: qsTr("Color:")
            font.family: "Roboto"
            font.pixelSize: 13 * resoving
        }
        Rectangle {
            objectName: "colorBlock"
            anchors.left: colorLabel.right
            anchors.verticalCenter: colorLabel.verticalCenter
            width: 40 * resoving
            height: 20 * resoving
            color: root.shownColor
            border.width: 1
            border.color: "#999999"
            MouseArea {
                anchors.fill: parent
                cursorShape: Qt.PointingHandCursor
                onClicked: root.popupColorDialog(root.shownColor)
            }
        }
        Text {
            x: 20 * resoving
            y: 124 * resoving
            text: qsTr("Need to define specific negative\ndroplets?")
            font.family: "Roboto"
            font.pixelSize: 13 * resoving
        }
        Column {
            x: 20 * resoving
            y: 170 * resoving
            spacing: 4 * resoving
            RadioButton {
                id: editNegatives
                objectName: "editNegatives"
                text: qsTr("Edit Negatives")
                font.family: "Roboto"
                font.pixelSize: 12 * resoving
                onClicked: {
                    root.negativeEditing = true
                    root.editNegetive(true)
                    root.updateModel()
                }
            }
            RadioButton {
                id: restoreDefault
                objectName: "restoreDefault"
                text: qsTr("Restore Default")
                checked: true
                font.family: "Roboto"
                font.pixelSize: 12 * resoving
                onClicked: {
                    root.negativeEditing = false
                    root.editNegetive(false)
                    root.updateModel()
                }
            }
        }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: 20 * resoving
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 16 * resoving
            spacing: 12 * resoving
            TwoD.Plot2DButton {
                objectName: "applyButton"
                text: qsTr("Apply")
                onClicked: root.apply(nameField.text, root.shownColor, editNegatives.checked)
            }
            TwoD.Plot2DButton {
                objectName: "cancelButton"
                text: qsTr("Cancel")
                onClicked: root.closePanel()
            }
        }
    }

    // ---- Zones ---------------------------------------------------------------------------
    Rectangle {
        id: zoneBox
        anchors.left: editPanel.right
        anchors.leftMargin: 24 * resoving
        anchors.right: parent.right
        anchors.rightMargin: 28 * resoving
        y: listBox.y
        height: listBox.height
        border.width: 1
        border.color: "#cccccc"
        enabled: root.enableUI

        Text {
            id: zoneTitle
            x: 16 * resoving
            y: 14 * resoving
            text: qsTr("Zones List")
            font.family: "Roboto"
            font.pixelSize: 16 * resoving
            color: "#3B9FC8"
        }

        Item {
            id: tableArea
            anchors.top: zoneTitle.bottom
            anchors.topMargin: 12 * resoving
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: 12 * resoving
            readonly property real rowHeight: Math.max(20 * resoving, height / 26)

            // Line thresholds: the compact header over the fixed columns that are shown.
            Item {
                anchors.fill: parent
                visible: root.lineType
                readonly property real cellWidth: root.lineColumns > 0 ? width / root.lineColumns : 0
                onCellWidthChanged: lineTable.forceLayout()
                Row {
                    id: lineHeaderRow
                    Repeater {
                        model: root.lineHeader
                        delegate: Rectangle {
                            width: parent.parent.cellWidth
                            height: tableArea.rowHeight
                            color: "#f3f3f3"
                            border.width: 1
                            border.color: "#dddddd"
                            Text {
                                anchors.centerIn: parent
                                text: modelData
                                font.family: "Roboto"
                                font.pixelSize: 12 * resoving
                                color: root.lines ? root.lines.getColumnColor(index) : "#000000"
                            }
                        }
                    }
                }
                TableView {
                    id: lineTable
                    objectName: "lineTable"
                    anchors.top: lineHeaderRow.bottom
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    clip: true
                    model: root.lines
                    columnWidthProvider: function (column) {
                        return root.lines && root.lines.columnVisiable(column) ? parent.cellWidth : 0
                    }
                    rowHeightProvider: function (row) { return tableArea.rowHeight }
                    delegate: Rectangle {
                        implicitHeight: tableArea.rowHeight
                        color: zoneSelect ? "#bfecff" : (row % 2 === 0 ? "#e9f5ee" : "#ffffff")
                        Text {
                            anchors.centerIn: parent
                            visible: column <= 6
                            text: column === 0 ? zoneName : (zoneTarget === undefined ? "" : zoneTarget)
                            font.family: "Roboto"
                            font.pixelSize: 12 * resoving
                            color: column === 0 || !root.lines ? "#000000" : root.lines.getColumnColor(column)
                        }
                        CheckBox {
                            anchors.centerIn: parent
                            visible: column >= 7
                            enabled: root.negativeEditing
                            checked: column === 7 ? zonePositive : zoneNegative
                            onToggled: column === 7 ? root.setPositiveStatus(row, checked)
                                                    : root.setNegativeStatus(row, checked)
                        }
                    }
                }
            }

            // Polygon thresholds: zone, positive and, while negatives are edited, negative.
            Item {
                anchors.fill: parent
                visible: !root.lineType
                readonly property real cellWidth: root.polygonColumns > 0 ? width / root.polygonColumns : 0
                onCellWidthChanged: polygonTable.forceLayout()
                Row {
                    id: polygonHeaderRow
                    Repeater {
                        model: root.polygonHeader
                        delegate: Rectangle {
                            width: parent.parent.cellWidth
                            height: tableArea.rowHeight
                            color: "#f3f3f3"
                            border.width: 1
                            border.color: "#dddddd"
                            Text {
                                anchors.centerIn: parent
                                text: modelData
                                font.family: "Roboto"
                                font.pixelSize: 12 * resoving
                            }
                        }
                    }
                }
                TableView {
                    id: polygonTable
                    objectName: "polygonTable"
                    anchors.top: polygonHeaderRow.bottom
                    anchors.left: parent.left
                    anchors.right: parent.right
                    anchors.bottom: parent.bottom
                    clip: true
                    model: root.polygons
                    columnWidthProvider: function (column) { return parent.cellWidth }
                    rowHeightProvider: function (row) { return tableArea.rowHeight }
                    delegate: Rectangle {
                        implicitHeight: tableArea.rowHeight
                        color: zoneSelect ? "#bfecff" : (row % 2 === 0 ? "#e9f5ee" : "#ffffff")
                        Text {
                            anchors.centerIn: parent
                            visible: column === 0
                            text: zoneName
                            font.family: "Roboto"
                            font.pixelSize: 12 * resoving
                        }
                        CheckBox {
                            anchors.centerIn: parent
                            visible: column > 0
                            enabled: root.negativeEditing
                            checked: column === 1 ? zonePositive : zoneNegative
                            onToggled: column === 1 ? root.setPositiveStatus(row, checked)
                                                    : root.setNegativeStatus(row, checked)
                        }
                    }
                }
            }
        }
    }
}
