// The axis bounds of a 2D dot plot. The host writes the four bound texts and reads them back
// after yes(); Yes first copies what the fields show into them.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    readonly property real unit: resoving
    property string horizontalLowerTxt: ""
    property string horizontalUpperTxt: ""
    property string vertialLowerTxt: ""
    property string vertialUpperTxt: ""
    signal cancel()
    signal yes()

    width: 636 * unit
    height: 336 * unit

    Image {
        id: background
        anchors.fill: parent
        source: "qrc:/TwoDotPlot/assets/dialog_bg1.png"
    }

    Text {
        x: 149 * root.unit
        y: 50 * root.unit
        text: qsTr("Vertical Axis")
        color: "#333333"
        font.pixelSize: 14 * root.unit
        font.family: "Roboto"
    }
    Text {
        x: 420 * root.unit
        y: 50 * root.unit
        text: qsTr("Horizontal Axis")
        color: "#333333"
        font.pixelSize: 14 * root.unit
        font.family: "Roboto"
    }

    Item {
        x: 68 * root.unit
        y: 83 * root.unit
        width: 239 * root.unit
        height: 24 * root.unit
        Text { x: -1 * root.unit; y: 5 * root.unit; text: qsTr("Upper bound:"); color: "#333333"; font.pixelSize: 12 * root.unit; font.family: "Roboto" }
        Plot2DSpinBox { id: verticalUpper; objectName: "verticalUpperSpin"; x: 95 * root.unit; text: root.vertialUpperTxt }
    }
    Item {
        x: 67 * root.unit
        y: 127 * root.unit
        width: 239 * root.unit
        height: 24 * root.unit
        Text { x: -1 * root.unit; y: 5 * root.unit; text: qsTr("Lower bound:"); color: "#333333"; font.pixelSize: 12 * root.unit; font.family: "Roboto" }
        Plot2DSpinBox { id: verticalLower; objectName: "verticalLowerSpin"; x: 95 * root.unit; text: root.vertialLowerTxt }
    }
    Item {
        x: 348 * root.unit
        y: 83 * root.unit
        width: 239 * root.unit
        height: 24 * root.unit
        Text { x: -1 * root.unit; y: 5 * root.unit; text: qsTr("Upper bound:"); color: "#333333"; font.pixelSize: 12 * root.unit; font.family: "Roboto" }
        Plot2DSpinBox { id: horizontalUpper; objectName: "horizontalUpperSpin"; x: 95 * root.unit; text: root.horizontalUpperTxt }
    }
    Item {
        x: 347 * root.unit
        y: 127 * root.unit
        width: 239 * root.unit
        height: 24 * root.unit
        Text { x: -1 * root.unit; y: 5 * root.unit; text: qsTr("Lower bound:"); color: "#333333"; font.pixelSize: 12 * root.unit; font.family: "Roboto" }
        Plot2DSpinBox { id: horizontalLower; objectName: "horizontalLowerSpin"; x: 95 * root.unit; text: root.horizontalLowerTxt }
    }

    Plot2DButton {
        id: yesButton
        objectName: "yesButton"
        width: 80 * root.unit
        height: 28 * root.unit
        anchors { right: background.right; bottom: background.bottom; rightMargin: 49 * root.unit; bottomMargin: 63 * root.unit }
        text: qsTr("Yes")
        onClicked: {
            root.horizontalLowerTxt = horizontalLower.text
            root.horizontalUpperTxt = horizontalUpper.text
            root.vertialLowerTxt = verticalLower.text
            root.vertialUpperTxt = verticalUpper.text
            root.yes()
        }
    }
    Plot2DButton {
        objectName: "cancelButton"
        width: 80 * root.unit
        height: 28 * root.unit
        anchors { right: yesButton.left; bottom: yesButton.bottom; rightMargin: 40 * root.unit }
        text: qsTr("Cancel")
        onClicked: root.cancel()
    }
}
