// The Both / Merge / Individual choice of the result rows: three picture buttons in a box.
// `current` names the button that shows its checked picture ("" for none). The buttons
// always react; the owner decides what a click does.
import QtQuick 2.15

Rectangle {
    id: selector
    property real unit: 1.0
    property string assetFolder: "qrc:/ViewResult/Concentration/assert/"
    property string current: "both"
    signal bothClicked()
    signal mergeClicked()
    signal individualClicked()

    width: 180 * unit
    height: 50 * unit
    color: "#ffffff"

    Row {
        x: 16 * selector.unit
        y: 5 * selector.unit
        spacing: 20 * selector.unit

        Repeater {
            model: [
                { name: "both", checked: "Both_check1.png", unchecked: "Both_uncheck_1.png" },
                { name: "merge", checked: "Merge_check1.png", unchecked: "Merge_uncheck1.png" },
                { name: "individual", checked: "Individual_check1.png", unchecked: "Individual_uncheck1.png" }
            ]
            delegate: Image {
                objectName: modelData.name + "Button"
                width: 36 * selector.unit
                height: 40 * selector.unit
                source: selector.assetFolder + (selector.current === modelData.name ? modelData.checked : modelData.unchecked)

                MouseArea {
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    onClicked: {
                        selector.current = modelData.name
                        if (modelData.name === "both")
                            selector.bothClicked()
                        else if (modelData.name === "merge")
                            selector.mergeClicked()
                        else
                            selector.individualClicked()
                    }
                }
            }
        }
    }
}
