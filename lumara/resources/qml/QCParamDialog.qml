// One well's droplet-quality figures for one channel beside their limits; a figure that
// misses its limit shows in red. The host sets the texts and the flags (true: limit met).
import QtQuick 2.15

Rectangle {
    id: root
    readonly property real unit: resoving
    signal sigYesBtn()

    property string drpltNums: "--"
    property string drpltRefNums: "--"
    property string posGyslMean: "--"
    property string posCv: "--"
    property string ngGyslMean: "--"
    property string negCv: "--"
    property string rfGyslMean: "--"
    property string rfCv: "--"
    property string rfRefCv: "--"
    property string rsValue: "--"
    property string rsRefValue: "--"
    property string rainValue: "--"
    property string rainRefValue: "--"
    property bool drpltNumsColor: true
    property bool rfCvColor: true
    property bool rsValueColor: true
    property bool rainValueColor: true

    width: 599 * unit
    height: 502 * unit
    color: "#ffffff"
    border.width: 1
    border.color: "#c8d3da"

    Rectangle {
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 1 }
        height: 4 * root.unit
        color: "#3b9fc8"
    }

    Text {
        x: 40 * root.unit
        y: 24 * root.unit
        text: qsTr("Droplet Quality")
        font.family: "Roboto"
        font.pixelSize: 18 * root.unit
        font.bold: true
        color: "#333333"
    }

    Column {
        id: table
        x: 40 * root.unit
        y: 68 * root.unit
        width: root.width - 80 * root.unit

        // The heading row, then one row per figure: label, value, limit.
        Repeater {
            model: [
                { label: "", value: qsTr("Value"), limit: qsTr("Limit"), pass: true, heading: true },
                { label: qsTr("Droplets:"), value: root.drpltNums, limit: "> " + root.drpltRefNums, pass: root.drpltNumsColor },
                { label: "PFμ:", value: root.posGyslMean, limit: "", pass: true },
                { label: "PFμ.Cv:", value: root.posCv, limit: "", pass: true },
                { label: "NFμ:", value: root.ngGyslMean, limit: "", pass: true },
                { label: "NFμ.Cv:", value: root.negCv, limit: "", pass: true },
                { label: "RFμ:", value: root.rfGyslMean, limit: "", pass: true },
                { label: "RFμ.Cv:", value: root.rfCv, limit: "< " + root.rfRefCv, pass: root.rfCvColor },
                { label: "Rs:", value: root.rsValue, limit: "> " + root.rsRefValue, pass: root.rsValueColor },
                { label: "Rain:", value: root.rainValue, limit: "< " + root.rainRefValue, pass: root.rainValueColor }
            ]
            delegate: Rectangle {
                width: table.width
                height: 36 * root.unit
                color: index % 2 === 1 ? "#f5f9fb" : "#ffffff"
                Text {
                    x: 16 * root.unit
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.label
                    font.family: "Roboto"
                    font.pixelSize: 14 * root.unit
                    color: "#666666"
                }
                Text {
                    objectName: "value" + index
                    x: parent.width * 0.36
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.value
                    font.family: "Roboto"
                    font.pixelSize: 14 * root.unit
                    font.bold: modelData.heading === true
                    color: modelData.heading === true ? "#999999" : (modelData.pass ? "#333333" : "#FF0000")
                }
                Text {
                    x: parent.width * 0.68
                    anchors.verticalCenter: parent.verticalCenter
                    text: modelData.limit
                    font.family: "Roboto"
                    font.pixelSize: 14 * root.unit
                    font.bold: modelData.heading === true
                    color: "#999999"
                }
            }
        }
    }

    DialogButton {
        objectName: "yesButton"
        unit: root.unit
        anchors { right: parent.right; bottom: parent.bottom; rightMargin: 32 * root.unit; bottomMargin: 24 * root.unit }
        text: qsTr("OK")
        onClicked: root.sigYesBtn()
    }
}
