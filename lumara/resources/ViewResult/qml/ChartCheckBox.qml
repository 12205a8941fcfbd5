// The population check box of the chart panels (round for a single choice).
import QtQuick 2.15
import QtQuick.Controls 2.15

CheckBox {
    id: control
    property real unit: 1.0
    property string assetFolder: "qrc:/ViewResult/Concentration/assert/"
    property real indicatorRadius: 0
    property alias radio_text: control.text
    property alias checkboxCheck: control.checked

    height: 16 * unit
    padding: 0
    spacing: 8 * unit

    indicator: CheckIndicator {
        y: (control.height - height) / 2
        unit: control.unit
        assetFolder: control.assetFolder
        radius: control.indicatorRadius * control.unit
        enabled: control.enabled
        ticked: control.checkable && control.checked
    }
    contentItem: Text {
        leftPadding: control.indicator.width + control.spacing
        text: control.text
        font.family: "Roboto"
        font.pixelSize: 12 * control.unit
        color: "#333333"
        verticalAlignment: Text.AlignVCenter
    }
}
