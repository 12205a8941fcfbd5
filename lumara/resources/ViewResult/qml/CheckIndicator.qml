// The 16 x 16 box of the panels' check boxes and radios: an accent outline while enabled and
// the tick picture when checked.
import QtQuick 2.15

Rectangle {
    id: indicator
    property real unit: 1.0
    property string assetFolder: "qrc:/ViewResult/Concentration/assert/"
    property bool ticked: false

    width: 16 * unit
    height: 16 * unit
    color: "transparent"
    border.width: 1
    border.color: enabled ? "#58b4da" : "#bbbbbb"

    Image {
        x: 4 * indicator.unit
        y: 6 * indicator.unit
        width: 8 * indicator.unit
        height: 6 * indicator.unit
        visible: indicator.ticked
        source: indicator.assetFolder + (indicator.enabled ? "tick.png" : "tickenable.png")
    }
}
