// The vertical bounds of a 1D dot plot. The host writes lowerBound and upperBound and reads
// them back after clickYes(); Yes first copies the fields into them.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "../../TwoDotPlot/qml"
import "../../Histogram/qml"

Item {
    id: root
    readonly property real unit: resoving
    property string lowerBound: ""
    property string upperBound: ""
    signal clickNo()
    signal clickYes()

    width: 356 * unit
    height: 336 * unit

    Rectangle {
        id: card
        anchors.fill: parent
        anchors.margins: 8 * root.unit
        radius: 6 * root.unit
        color: "white"
        border.width: 1
        border.color: "#c8d3da"
        Rectangle { width: parent.width; height: 4 * root.unit; color: "#3b9fc8"; radius: 2 }
    }
    Text {
        x: 40 * root.unit
        y: 40 * root.unit
        text: qsTr("Vertical Axis")
        color: "#333333"
        font.pixelSize: 14 * root.unit
        font.family: "Roboto"
    }
    Item {
        x: 60 * root.unit
        y: 90 * root.unit
        width: 239 * root.unit
        height: 24 * root.unit
        Text { y: 5 * root.unit; text: qsTr("Upper bound:"); color: "#333333"; font.pixelSize: 12 * root.unit; font.family: "Roboto" }
        InputSpinbox { id: upper; objectName: "upperSpin"; x: 95 * root.unit; text: root.upperBound }
    }
    Item {
        x: 60 * root.unit
        y: 140 * root.unit
        width: 239 * root.unit
        height: 24 * root.unit
        Text { y: 5 * root.unit; text: qsTr("Lower bound:"); color: "#333333"; font.pixelSize: 12 * root.unit; font.family: "Roboto" }
        InputSpinbox { id: lower; objectName: "lowerSpin"; x: 95 * root.unit; text: root.lowerBound }
    }
    Plot2DButton {
        id: yesButton
        objectName: "yesButton"
        anchors { right: card.right; bottom: card.bottom; rightMargin: 36 * root.unit; bottomMargin: 40 * root.unit }
        text: qsTr("Yes")
        onClicked: {
            root.lowerBound = lower.text
            root.upperBound = upper.text
            root.clickYes()
        }
    }
    Plot2DButton {
        objectName: "noButton"
        anchors { right: yesButton.left; bottom: yesButton.bottom; rightMargin: 24 * root.unit }
        text: qsTr("No")
        onClicked: root.clickNo()
    }
}
