// A value of the spill-over matrix or of a background. The spin box holds integers, so the
// value is kept times `factor` (10^7 for matrix cells, 100 for backgrounds); the text has
// `decimals` decimals and is written and read in the C locale. Only the user's own changes
// emit edited(text): a model reset that sets the value emits nothing.
import QtQuick 2.15
import QtQuick.Controls 2.15

SpinBox {
    id: box
    readonly property real unit: resoving
    property int decimals: 7
    property real factor: 10000000
    property real number: 0
    signal edited(string text)

    editable: true
    value: Math.round(number * factor)
    // The user's arrows break the binding above, and the tables reuse their cells: follow the
    // model's value from here on as well.
    onNumberChanged: value = Math.round(number * factor)
    implicitWidth: 92 * unit
    implicitHeight: 26 * unit
    font.family: "Roboto"
    font.pixelSize: 11 * unit
    leftPadding: 4 * unit
    rightPadding: 16 * unit

    validator: DoubleValidator {
        bottom: box.from / box.factor
        top: box.to / box.factor
        decimals: box.decimals
        notation: DoubleValidator.StandardNotation
        locale: "C"
    }
    textFromValue: function(value, locale) { return (value / box.factor).toFixed(box.decimals) }
    valueFromText: function(text, locale) {
        var number = parseFloat(text)
        return isNaN(number) ? 0 : Math.round(number * box.factor)
    }
    onValueModified: box.edited((box.value / box.factor).toFixed(box.decimals))

    contentItem: TextInput {
        text: box.displayText
        font: box.font
        color: box.enabled ? "#333333" : "#999999"
        horizontalAlignment: Qt.AlignRight
        verticalAlignment: Qt.AlignVCenter
        readOnly: !box.editable
        validator: box.validator
        inputMethodHints: Qt.ImhFormattedNumbersOnly
        selectByMouse: true
    }
    up.indicator: Rectangle {
        x: box.width - width - 1
        y: 1
        width: 14 * box.unit
        height: box.height / 2 - 1
        color: box.up.pressed ? "#3b9fc8" : "transparent"
        Text {
            anchors.centerIn: parent
            text: "+"
            font.pixelSize: 10 * box.unit
            color: box.enabled ? (box.up.pressed ? "#ffffff" : "#555555") : "#bbbbbb"
        }
    }
    down.indicator: Rectangle {
        x: box.width - width - 1
        y: box.height / 2
        width: 14 * box.unit
        height: box.height / 2 - 1
        color: box.down.pressed ? "#3b9fc8" : "transparent"
        Text {
            anchors.centerIn: parent
            text: "-"
            font.pixelSize: 10 * box.unit
            color: box.enabled ? (box.down.pressed ? "#ffffff" : "#555555") : "#bbbbbb"
        }
    }
    background: Rectangle {
        color: box.enabled ? "#ffffff" : "#f0f0f0"
        border.width: 1
        border.color: box.activeFocus ? "#3b9fc8" : "#c8d3da"
    }
}
