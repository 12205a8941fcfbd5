// A bound of an axis: a text field with up and down arrows at the right. The arrows step by
// one and never go below 0; typing a negative number gives 0.00; leaving the field turns an
// empty (or unreadable) text into 0 and shows two decimals. Arrows and leaving emit textChange.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: control
    readonly property real unit: resoving
    property alias text: field.text
    signal textChange(string text)

    width: 144 * unit
    height: 24 * unit

    function numberIn(text) {
        var value = parseFloat(text)
        return isNaN(value) ? 0 : value
    }
    function step(delta) {
        field.text = Math.max(0, numberIn(field.text) + delta).toFixed(2)
        control.textChange(field.text)
    }

    TextField {
        id: field
        objectName: "field"
        anchors { left: parent.left; right: arrows.left; top: parent.top; bottom: parent.bottom }
        font.pixelSize: 12 * control.unit
        font.family: "Roboto"
        leftPadding: 6 * control.unit
        rightPadding: 6 * control.unit
        topPadding: 0
        bottomPadding: 0
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: true
        color: enabled ? "#333333" : "#999999"
        background: Rectangle {
            color: field.activeFocus ? "white" : "transparent"
            border.width: 1
            border.color: field.activeFocus ? "#3b9fc8" : "#333"
        }
        onTextEdited: {
            if (parseFloat(text) < 0)
                text = "0.00"
        }
        onActiveFocusChanged: {
            if (!activeFocus) {
                text = control.numberIn(text).toFixed(2)
                control.textChange(text)
            }
        }
    }

    Column {
        id: arrows
        anchors { right: parent.right; verticalCenter: parent.verticalCenter }
        Image {
            objectName: "upArrow"
            width: 16 * control.unit
            height: 12 * control.unit
            source: upArea.pressed ? "qrc:/TwoDotPlot/assets/up_btn_press.png" : "qrc:/TwoDotPlot/assets/up_btn.png"
            MouseArea { id: upArea; anchors.fill: parent; onClicked: control.step(1.0) }
        }
        Image {
            objectName: "downArrow"
            width: 16 * control.unit
            height: 12 * control.unit
            source: downArea.pressed ? "qrc:/TwoDotPlot/assets/down_btn_press.png" : "qrc:/TwoDotPlot/assets/down_btn.png"
            MouseArea { id: downArea; anchors.fill: parent; onClicked: control.step(-1.0) }
        }
    }
}
