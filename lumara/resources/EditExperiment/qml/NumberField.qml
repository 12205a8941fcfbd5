// A number of the experiment table: a text field with + and - at the right. Leaving the field
// writes the text in the table's number format; the steps use the table's own step rules.
// A step emits committed(text) with the new text; Return or leaving the field emits it with the
// text as the user typed it, and only after typing: the shown form keeps two significant
// decimals (1.23e+05), and writing it back would change the stored number.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: field
    readonly property real unit: resoving
    property alias text: input.text
    signal committed(string text)

    TextField {
        id: input
        objectName: "numberInput"
        anchors { left: parent.left; right: arrows.left; top: parent.top; bottom: parent.bottom }
        font.family: "Roboto"
        font.pixelSize: 12 * field.unit
        leftPadding: 4 * field.unit
        rightPadding: 2 * field.unit
        topPadding: 0
        bottomPadding: 0
        verticalAlignment: TextInput.AlignVCenter
        selectByMouse: true
        color: enabled ? "#333333" : "#999999"
        background: Rectangle {
            color: input.activeFocus ? "#ffffff" : "transparent"
            border.width: input.activeFocus ? 1 : 0
            border.color: "#3b9fc8"
        }
        property bool typed: false
        onTextEdited: typed = true
        onEditingFinished: {
            var entered = text
            text = TableWellModel.dealNumber(entered)
            if (typed) {
                typed = false
                field.committed(entered)
            }
        }
    }

    Column {
        id: arrows
        anchors { right: parent.right; verticalCenter: parent.verticalCenter }
        Repeater {
            model: ["+", "-"]
            Rectangle {
                objectName: index === 0 ? "upArrow" : "downArrow"
                width: 14 * field.unit
                height: 11 * field.unit
                color: area.pressed ? "#3b9fc8" : "transparent"
                Text {
                    anchors.centerIn: parent
                    text: modelData
                    font.pixelSize: 10 * field.unit
                    color: field.enabled ? (area.pressed ? "#ffffff" : "#555555") : "#bbbbbb"
                }
                MouseArea {
                    id: area
                    anchors.fill: parent
                    enabled: field.enabled
                    onClicked: {
                        input.text = index === 0 ? TableWellModel.increasing(input.text)
                                                 : TableWellModel.reduction(input.text)
                        field.committed(input.text)
                    }
                }
            }
        }
    }
}
