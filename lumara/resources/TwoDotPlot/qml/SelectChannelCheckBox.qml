// One channel of a combination dialog: a 16 x 16 check box, the channel's circle at 40, the
// dye name at 80 and the target name at 138 from the left. `unit` scales it (1 here; the 3D
// dialog's copy scales by the UI factor).
import QtQuick 2.15
import QtQuick.Controls 2.15

CheckBox {
    id: control

    property real unit: 1
    property string circleColor: "#b3b3b3"
    property string dyeName: ""
    property string targetName: ""

    implicitWidth: 180 * unit
    implicitHeight: 16 * unit
    padding: 0
    spacing: 0

    indicator: Rectangle {
        width: 16 * control.unit
        height: 16 * control.unit
        y: (control.height - height) / 2
        color: "#ffffff"
        border.width: 1
        border.color: control.enabled ? "#58b4da" : "#bbbbbb"
        Image {
            anchors.fill: parent
            anchors.margins: 2 * control.unit
            source: "qrc:/TwoDotPlot/assets/check_tick.png"
            visible: control.checked
            fillMode: Image.PreserveAspectFit
        }
    }
    contentItem: Item {
        implicitWidth: 180 * control.unit
        implicitHeight: 16 * control.unit
        Rectangle {
            x: 40 * control.unit
            width: 16 * control.unit
            height: 16 * control.unit
            radius: width / 2
            color: control.circleColor
        }
        Text {
            x: 80 * control.unit
            height: parent.height
            width: 56 * control.unit
            text: control.dyeName
            elide: Text.ElideRight
            verticalAlignment: Text.AlignVCenter
            font.family: "Roboto"
            font.pixelSize: 12 * control.unit
            color: control.enabled ? "#333333" : "#999999"
        }
        Text {
            x: 138 * control.unit
            height: parent.height
            text: control.targetName
            verticalAlignment: Text.AlignVCenter
            font.family: "Roboto"
            font.pixelSize: 12 * control.unit
            color: control.enabled ? "#333333" : "#999999"
        }
    }
}
