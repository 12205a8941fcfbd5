// One cell of the experiment table. Row 0 is the header row; the others show one well. The
// first six columns are the well's own fields, then three per target channel: the channel
// type, the reference stock concentration and the dilution.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: cell
    readonly property real unit: resoving
    property Item page
    property int cellRow: 0
    property int cellColumn: 0
    property var wellId
    property var wellName
    property var wellNameId
    property var plateIndex
    property var sampleName
    property var wellComment
    property var effDroplets
    property var wellExclude
    property var expType
    property var refStock
    property var dilution

    readonly property bool header: cellRow === 0
    readonly property int group: cellColumn >= 6 ? Math.floor((cellColumn - 6) / 3) : -1
    readonly property int kind: cellColumn >= 6 ? (cellColumn - 6) % 3 : -1
    readonly property int channel: group >= 0 ? TableWellModel.getTargetChannnelID(group) : 0
    readonly property bool highlighted: !header && page && page.isSelected(cellRow)

    implicitWidth: 80 * unit
    implicitHeight: 32 * unit
    color: header ? "#e9eef2" : (highlighted ? "#e5f7ff" : (cellRow % 2 === 0 ? "#f7f9fb" : "#ffffff"))
    border.width: 1
    border.color: "#dde3e8"

    function headerText() {
        var fixed = [qsTr("Well"), qsTr("Well ID"), qsTr("Plate Index"), qsTr("Sample Name"),
                     qsTr("Well Comment"), qsTr("Nb Droplets")]
        if (cellColumn < 6)
            return fixed[cellColumn]
        if (kind === 0)
            return qsTr("Type")
        if (kind === 1)
            return page.targetNames[channel - 1] + "\nC_ref stock\n(cp/uL)"
        return qsTr("Dilution")
    }
    function plainText() {
        switch (cellColumn) {
        case 1: return wellNameId
        case 2: return plateIndex
        case 4: return wellComment === "" ? "----" : wellComment
        case 5: return effDroplets
        }
        return ""
    }

    // Selecting rows: a press anywhere in the cell that no editor takes. Like a click anywhere
    // else on the page, it ends the editing of a field.
    MouseArea {
        anchors.fill: parent
        onPressed: cell.page.forceActiveFocus()
        onClicked: function(mouse) {
            if (!cell.header)
                Qt.callLater(cell.page.clickRow, cell.cellRow, mouse.modifiers)
        }
    }

    Text {
        visible: cell.header
        anchors.fill: parent
        anchors.margins: 4 * cell.unit
        text: cell.header ? cell.headerText() : ""
        font.family: "Roboto"
        font.pixelSize: 12 * cell.unit
        font.bold: true
        color: "#333333"
        wrapMode: Text.WordWrap
        elide: Text.ElideRight
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    // The marks of the whole table in its corner: some droplets excluded, a matrix applied.
    Row {
        visible: cell.header && cell.cellColumn === 0
        anchors { left: parent.left; bottom: parent.bottom; margins: 4 * cell.unit }
        spacing: 4 * cell.unit
        Image {
            width: 16 * cell.unit
            height: 16 * cell.unit
            source: cell.page && cell.page.existExcludeDroplets ? "qrc:/assets/exclude_icon_latter.png"
                                                                 : "qrc:/assets/exclude_icon1.png"
        }
        Image {
            width: 16 * cell.unit
            height: 16 * cell.unit
            source: cell.page && cell.page.compensationFlag ? "qrc:/assets/compensate_icon.png"
                                                             : "qrc:/assets/compensate_diable_icon.png"
        }
    }

    // Column 0: the row number, the well's name and its exclusion mark.
    Row {
        visible: !cell.header && cell.cellColumn === 0
        anchors { fill: parent; leftMargin: 6 * cell.unit }
        spacing: 6 * cell.unit
        Text {
            width: 24 * cell.unit
            height: parent.height
            text: cell.cellRow
            font.family: "Roboto"
            font.pixelSize: 12 * cell.unit
            color: "#999999"
            verticalAlignment: Text.AlignVCenter
        }
        Text {
            width: parent.width - 60 * cell.unit
            height: parent.height
            text: cell.wellName !== undefined ? cell.wellName : ""
            font.family: "Roboto"
            font.pixelSize: 12 * cell.unit
            color: "#333333"
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
        }
        Image {
            anchors.verticalCenter: parent.verticalCenter
            visible: cell.wellExclude === true
            width: 16 * cell.unit
            height: 16 * cell.unit
            source: "qrc:/assets/exclude_icon_latter.png"
        }
    }

    Text {
        visible: !cell.header && (cell.cellColumn === 1 || cell.cellColumn === 2 || cell.cellColumn === 4
                                  || cell.cellColumn === 5)
        anchors { fill: parent; leftMargin: 6 * cell.unit; rightMargin: 6 * cell.unit }
        text: visible ? cell.plainText() : ""
        font.family: "Roboto"
        font.pixelSize: 12 * cell.unit
        color: "#333333"
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }

    // Editors only where a cell needs one: a table of many wells shows many cells.
    Loader {
        anchors { fill: parent; margins: 2 * cell.unit }
        active: !cell.header && (cell.cellColumn === 3 || cell.kind >= 0)
        sourceComponent: cell.cellColumn === 3 ? sampleEditor : (cell.kind === 0 ? typeEditor : numberEditor)
    }

    Component {
        id: sampleEditor
        TextField {
            objectName: "sampleName"
            enabled: cell.page && cell.page.uiEnable
            text: cell.sampleName !== undefined ? cell.sampleName : ""
            font.family: "Roboto"
            font.pixelSize: 12 * cell.unit
            leftPadding: 4 * cell.unit
            topPadding: 0
            bottomPadding: 0
            verticalAlignment: TextInput.AlignVCenter
            selectByMouse: true
            color: "#333333"
            background: Rectangle {
                color: parent.activeFocus ? "#ffffff" : "transparent"
                border.width: parent.activeFocus ? 1 : 0
                border.color: "#3b9fc8"
            }
            // Return, or leaving the field.
            onEditingFinished: TableWellModel.setSampleName(cell.wellId, text)
        }
    }

    Component {
        id: typeEditor
        ComboBox {
            objectName: "channelType"
            enabled: cell.page && cell.page.uiEnable && TableWellModel.currentChannelIsAvaiable(cell.wellId, cell.channel)
            model: ["U", "P", "S", "N"]
            currentIndex: cell.expType !== undefined ? cell.expType : -1
            font.family: "Roboto"
            font.pixelSize: 12 * cell.unit
            onActivated: function(index) {
                if (cell.highlighted)
                    TableWellModel.setChannelType(cell.channel, index)
                else
                    TableWellModel.setChannelType(cell.wellId, cell.channel, index)
            }
        }
    }

    Component {
        id: numberEditor
        NumberField {
            objectName: cell.kind === 1 ? "refStock" : "dilution"
            enabled: cell.page && cell.page.uiEnable
            text: cell.kind === 1 ? (cell.refStock !== undefined ? cell.refStock : "")
                                  : (cell.dilution !== undefined ? cell.dilution : "")
            onCommitted: function(text) {
                // As the model reads a number: a text that is none gives 0.
                var value = Number(text.trim())
                if (isNaN(value) || !isFinite(value))
                    value = 0
                if (cell.kind === 1) {
                    if (cell.highlighted)
                        TableWellModel.setRefConcentration(cell.channel, value)
                    else
                        TableWellModel.setRefConcentration(cell.wellId, cell.channel, value)
                } else {
                    if (cell.highlighted)
                        TableWellModel.setChannelDilution(cell.channel, value)
                    else
                        TableWellModel.setChannelDilution(cell.wellId, cell.channel, value)
                }
            }
        }
    }
}
