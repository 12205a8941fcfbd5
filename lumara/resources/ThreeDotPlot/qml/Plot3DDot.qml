// The panel of the 3D page: the population whose zones colour the droplets, the zones bound to
// it, and the Add and Delete buttons of the plot combinations (whose thumbnails lie over the
// "Preview" box).
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    width: 1920 * resoving
    height: 1080 * resoving

    property bool uiEnable: false
    property bool isEnglish: true
    property int currentPopulationIndex: 0
    property string circleColor: "#555555"
    property bool deleteEnable: false

    // The host's objects; absent while the view is loaded on its own.
    readonly property var host: typeof PopulationModel !== "undefined" ? PopulationModel : null
    readonly property var zones: typeof ZoneModel !== "undefined" ? ZoneModel : null

    signal openNewFile()
    signal populationChange()
    signal addPlotCombition()
    signal deletePlotCombition()

    onOpenNewFile: {
        uiEnable = true
        var names = host ? host.getPopulationNames() : []
        combo.model = names
        combo.currentIndex = currentPopulationIndex < names.length ? currentPopulationIndex : 0
        zoneTable.model = zones
    }

    Rectangle {
        id: populationBox
        objectName: "populationBox"
        x: parent.width - width - 24 * resoving
        y: 64 * resoving
        width: 207 * resoving
        height: 404 * resoving
        border.width: 1
        border.color: "#cccccc"
        enabled: root.uiEnable

        Text {
            id: title
            x: 12 * resoving
            y: 10 * resoving
            text: qsTr("Population")
            font.family: "Roboto"
            font.pixelSize: 14 * resoving
            color: "#333333"
        }
        Rectangle {
            id: circle
            objectName: "populationCircle"
            x: 12 * resoving
            anchors.verticalCenter: combo.verticalCenter
            width: 16 * resoving
            height: 16 * resoving
            radius: width / 2
            color: root.circleColor
        }
        Plot3DComboBox {
            id: combo
            objectName: "populationCombo"
            anchors.left: circle.right
            anchors.leftMargin: 12 * resoving
            y: 40 * resoving
            model: []
            onActivated: {
                root.currentPopulationIndex = index
                root.populationChange()
            }
        }
        Text {
            id: zoneTitle
            x: 12 * resoving
            y: 80 * resoving
            text: qsTr("Zones List")
            font.family: "Roboto"
            font.pixelSize: 14 * resoving
            color: "#3B9FC8"
        }
        TableView {
            id: zoneTable
            objectName: "zoneTable"
            x: 12 * resoving
            y: 108 * resoving
            width: 172 * resoving
            height: parent.height - y - 12 * resoving
            clip: true
            columnWidthProvider: function (column) { return 86 * resoving }
            rowHeightProvider: function (row) { return 32 * resoving }
            delegate: Rectangle {
                implicitWidth: 86 * resoving
                implicitHeight: 32 * resoving
                color: zoneSelect ? "#bfecff" : (row % 2 === 0 ? "#e9f5ee" : "#ffffff")
                Text {
                    anchors.centerIn: parent
                    text: column === 0 ? zoneName : zoneType
                    font.family: "Roboto"
                    font.pixelSize: 12 * resoving
                    color: "#333333"
                }
                MouseArea {
                    anchors.fill: parent
                    onClicked: if (root.zones) root.zones.updateSelectStatus(row)
                }
            }
        }
    }

    Rectangle {
        id: previewBox
        objectName: "previewBox"
        x: populationBox.x
        y: populationBox.y + populationBox.height + 16 * resoving
        width: populationBox.width
        height: parent.height - y - 24 * resoving
        border.width: 1
        border.color: "#cccccc"
        enabled: root.uiEnable

        Text {
            x: 12 * resoving
            y: 10 * resoving
            text: qsTr("Preview")
            font.family: "Roboto"
            font.pixelSize: 14 * resoving
            color: "#333333"
        }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: 12 * resoving
            y: 8 * resoving
            spacing: 8 * resoving
            Plot3DButton {
                objectName: "addButton"
                implicitWidth: 56 * resoving
                implicitHeight: 24 * resoving
                checkable: false
                text: qsTr("Add")
                enabled: root.uiEnable
                onClicked: root.addPlotCombition()
            }
            Plot3DButton {
                objectName: "deleteButton"
                implicitWidth: 56 * resoving
                implicitHeight: 24 * resoving
                checkable: false
                text: qsTr("Delete")
                enabled: root.deleteEnable
                onClicked: root.deletePlotCombition()
            }
        }
    }
}
