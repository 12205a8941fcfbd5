// The options of a full re-analysis: background uniformity calibration (0 intelligent
// algorithm, 1 machine correction, 2 none) and fluorescence calibration (1 intensity, 0 none).
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    readonly property real unit: resoving
    property int backgroundType: 0
    property int fluorescent: 1

    signal accept()
    signal reject()

    width: 318 * unit
    height: 356 * unit

    Image {
        anchors.fill: parent
        source: "qrc:/assets/dialog_re-analysis_bg.png"
    }

    Column {
        x: 49 * root.unit
        y: 49 * root.unit
        spacing: 14 * root.unit

        Text {
            text: qsTr("Background uniformity calibration:")
            font.family: "Roboto"
            font.pixelSize: 14 * root.unit
            color: "#000000"
        }
        Repeater {
            model: [qsTr("Intelligent algorithm"), qsTr("Machine Correction"), qsTr("None")]
            LegendCheckBox {
                objectName: "background" + index
                unit: root.unit
                text: modelData
                checked: root.backgroundType === index
                onClicked: {
                    root.backgroundType = index
                    checked = Qt.binding(function() { return root.backgroundType === index })
                }
            }
        }
        Item {
            width: 1
            height: 6 * root.unit
        }
        Text {
            text: qsTr("Fluorescent calibration:")
            font.family: "Roboto"
            font.pixelSize: 14 * root.unit
            color: "#000000"
        }
        Repeater {
            // Ticking the first box sets 1, the second 0.
            model: [qsTr("Fluorescence Intensity"), qsTr("None")]
            LegendCheckBox {
                objectName: "fluorescent" + index
                unit: root.unit
                text: modelData
                checked: root.fluorescent === 1 - index
                onClicked: {
                    root.fluorescent = 1 - index
                    checked = Qt.binding(function() { return root.fluorescent === 1 - index })
                }
            }
        }
    }

    CustomButton {
        x: 40 * root.unit
        y: root.height - height - 40 * root.unit
        width: 90 * root.unit
        unit: root.unit
        text: qsTr("No")
        onClicked: root.reject()
    }
    CustomButton {
        x: root.width - width - 40 * root.unit
        y: root.height - height - 40 * root.unit
        width: 90 * root.unit
        unit: root.unit
        text: qsTr("Yes")
        onClicked: root.accept()
    }
}
