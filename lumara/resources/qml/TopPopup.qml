// The image-action chooser under the menu bar: three rows with an icon each.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    readonly property real unit: resoving
    signal copyClicked()
    signal svgClicked()
    signal saveClicked()

    implicitWidth: 200 * unit
    implicitHeight: 3 * 40 * unit + 2 * 4 * unit
    color: "#ffffff"
    border.width: 1
    border.color: "#c8d3da"

    Column {
        anchors { fill: parent; topMargin: 4 * root.unit; bottomMargin: 4 * root.unit }

        Repeater {
            model: [
                { name: "copyButton", text: "Copy Image", icon: "qrc:/assets/copy_icon1.png" },
                { name: "svgButton", text: "Save Vector Image", icon: "qrc:/assets/svg_icon1.png" },
                { name: "saveButton", text: "Save Image", icon: "qrc:/assets/png_icon1.png" }
            ]
            delegate: ItemDelegate {
                objectName: modelData.name
                width: root.width
                height: 40 * root.unit
                // The row places its own contents: the pop-up is narrow, the longest label only just fits.
                leftPadding: 0
                rightPadding: 0
                hoverEnabled: true
                background: Rectangle { color: parent.down ? "#bfecff" : (parent.hovered ? "#f0f8ff" : "transparent") }
                contentItem: Row {
                    spacing: 8 * root.unit
                    leftPadding: 10 * root.unit
                    Image {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 20 * root.unit
                        height: 20 * root.unit
                        source: modelData.icon
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: modelData.text
                        font.family: "Roboto"
                        font.pixelSize: 14 * root.unit
                        color: "#333333"
                    }
                }
                onClicked: {
                    if (index === 0)
                        root.copyClicked()
                    else if (index === 1)
                        root.svgClicked()
                    else
                        root.saveClicked()
                }
            }
        }
    }
}
