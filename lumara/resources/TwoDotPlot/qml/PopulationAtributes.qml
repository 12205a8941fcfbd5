// A new population's colour and name: a 560 x 262 panel centred in whatever size the dialog
// has (its callers give it the active window's). A click on the colour opens the colour
// picker in place of the panel.
import QtQuick 2.15
import QtQuick.Controls 2.15
import "qrc:/qml" as Shared

Item {
    id: root
    width: 560 * resoving
    height: 262 * resoving

    property string circleColor: "#ac6a00"
    property bool isEnglish: true
    property string populationColor: "#b37c4e"
    property string populationColorStr: "b37c4e"

    signal populationNameExist()
    signal yesClicked(string color, string name)
    signal noClicked()

    onPopulationNameExist: errorText.visible = true

    Item {
        id: panel
        objectName: "panel"
        width: 560 * resoving
        height: 262 * resoving
        anchors.centerIn: parent

        Image {
            anchors.fill: parent
            source: "qrc:/TwoDotPlot/assets/dialog_add_population_bg1.png"
        }
        Text {
            x: 32 * resoving
            y: 26 * resoving
            text: qsTr("Population Attributes")
            font.family: "Roboto"
            font.pixelSize: 16 * resoving
            font.bold: true
            color: "#333333"
        }
        Text {
            id: colorLabel
            x: 60 * resoving
            y: 84 * resoving
            width: 60 * resoving
            text: qsTr("Color:")
            font.family: "Roboto"
            font.pixelSize: 13 * resoving
            color: "#333333"
        }
        Rectangle {
            id: circle
            objectName: "colorCircle"
            anchors.left: colorLabel.right
            anchors.verticalCenter: colorLabel.verticalCenter
            width: 16 * resoving
            height: 16 * resoving
            radius: width / 2
            color: root.circleColor
            MouseArea {
                anchors.fill: parent
                anchors.margins: -4 * resoving
                cursorShape: Qt.PointingHandCursor
                onClicked: {
                    panel.visible = false
                    picker.open()
                }
            }
        }
        Text {
            id: nameLabel
            x: 60 * resoving
            y: 130 * resoving
            width: 60 * resoving
            text: qsTr("Name:")
            font.family: "Roboto"
            font.pixelSize: 13 * resoving
            color: "#333333"
        }
        TextField {
            id: nameField
            objectName: "nameField"
            anchors.left: nameLabel.right
            anchors.verticalCenter: nameLabel.verticalCenter
            width: 300 * resoving
            height: 28 * resoving
            text: qsTr("New population")
            font.family: "Roboto"
            font.pixelSize: 12 * resoving
            selectByMouse: true
            onTextChanged: errorText.visible = false
        }
        Text {
            id: errorText
            objectName: "errorText"
            x: nameField.x
            y: nameField.y + nameField.height + 4 * resoving
            visible: false
            text: qsTr("The population name already exists!")
            color: "#FF0000"
            font.family: "Roboto"
            font.pixelSize: 12 * resoving
        }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: 40 * resoving
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 28 * resoving
            spacing: 16 * resoving
            Plot2DButton {
                objectName: "yesButton"
                text: qsTr("Yes")
                onClicked: root.yesClicked(root.circleColor, nameField.text)
            }
            Plot2DButton {
                objectName: "noButton"
                text: qsTr("No")
                onClicked: root.noClicked()
            }
        }
    }

    Popup {
        id: picker
        objectName: "colorPopup"
        width: 596
        height: 512
        x: (root.width - width) / 2
        y: (root.height - height) / 2
        padding: 0
        modal: true
        closePolicy: Popup.CloseOnEscape
        onClosed: panel.visible = true
        contentItem: Shared.ColorSelect {
            id: colors
            currentcolor: root.populationColor
            current: root.populationColorStr
            onSigClrValue: root.circleColor = color
            onYesClicked: picker.close()
            onCancelClicked: picker.close()
        }
    }
}
