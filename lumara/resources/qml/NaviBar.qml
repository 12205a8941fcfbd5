// The navigation bar: six modules, each a button; the current module shows its sub-pages
// below it. Every module remembers the sub-page last chosen in it. Any press on the bar is
// reported before it reaches the buttons.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    readonly property real unit: resoving

    property int primayIndex: 0
    property int subMenuIndex: 0
    // The sub-page last chosen in each module.
    property var rememberedSub: [0, 0, 0, 0, 0, 0]

    signal itemClicked()
    signal naviBarClicked()
    signal initNaviBar()

    implicitWidth: 180 * unit
    implicitHeight: 600 * unit
    color: "#58b4da"

    function updateIndex(p, s) {
        var remembered = rememberedSub.slice()
        remembered[p] = s
        rememberedSub = remembered
        primayIndex = p
        subMenuIndex = s
        itemClicked()
    }

    onInitNaviBar: updateIndex(0, 0)

    ListModel {
        id: modules
        ListElement { title: "Quality Control"; iconSource: "qrc:/assets/navi_quality.png"; subs: [] }
        ListElement {
            title: "Set Up"; iconSource: "qrc:/assets/navi_setup.png"
            subs: [
                ListElement { title: "Edit Experiment" },
                ListElement { title: "Compensate Spillover" }
            ]
        }
        ListElement {
            title: "Analyze Plot"; iconSource: "qrc:/assets/navi_analyze.png"
            subs: [
                ListElement { title: "Histogram" },
                ListElement { title: "1D dot plot" },
                ListElement { title: "2D dot plot" },
                ListElement { title: "3D dot plot" },
                ListElement { title: "Population Editor" }
            ]
        }
        ListElement { title: "Explore"; iconSource: "qrc:/assets/navi_explore.png"; subs: [] }
        ListElement {
            title: "View Results"; iconSource: "qrc:/assets/navi_results.png"
            subs: [
                ListElement { title: "Result Table" },
                ListElement { title: "Concentration Graph" },
                ListElement { title: "Uncertainty Curves" }
            ]
        }
        ListElement { title: "Export"; iconSource: "qrc:/assets/navi_export.png"; subs: [] }
    }

    Flickable {
        anchors.fill: parent
        contentHeight: column.height
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: column
            width: parent.width

            Repeater {
                model: modules

                Column {
                    id: module
                    readonly property int moduleIndex: index
                    readonly property bool current: root.primayIndex === index
                    width: column.width

                    AbstractButton {
                        objectName: "module" + module.moduleIndex
                        width: parent.width
                        height: 56 * root.unit
                        onClicked: root.updateIndex(module.moduleIndex, root.rememberedSub[module.moduleIndex])

                        background: Rectangle { color: module.current ? "#3b9fc8" : "#58b4da" }
                        contentItem: Item {
                            Image {
                                id: moduleIcon
                                x: 16 * root.unit
                                anchors.verticalCenter: parent.verticalCenter
                                width: 22 * root.unit
                                height: 22 * root.unit
                                source: iconSource
                                smooth: true
                                mipmap: true
                            }
                            Text {
                                anchors { left: moduleIcon.right; leftMargin: 10 * root.unit; right: parent.right
                                          verticalCenter: parent.verticalCenter }
                                text: title
                                elide: Text.ElideRight
                                color: "#ffffff"
                                font.family: "Roboto"
                                font.pixelSize: 14 * root.unit
                                font.bold: module.current
                            }
                        }
                    }

                    Repeater {
                        model: module.current ? subs : null

                        AbstractButton {
                            id: subButton
                            readonly property bool chosen: root.subMenuIndex === index
                            objectName: "sub" + module.moduleIndex + "_" + index
                            width: module.width
                            height: 40 * root.unit
                            onClicked: root.updateIndex(module.moduleIndex, index)

                            background: Rectangle {
                                color: "#4ba9d0"
                                Rectangle {
                                    width: 4 * root.unit
                                    height: parent.height
                                    color: "#ffffff"
                                    visible: subButton.chosen
                                }
                            }
                            contentItem: Text {
                                leftPadding: 48 * root.unit
                                verticalAlignment: Text.AlignVCenter
                                text: title
                                elide: Text.ElideRight
                                color: subButton.chosen ? "#ffffff" : "#e4f3fa"
                                font.family: "Roboto"
                                font.pixelSize: 13 * root.unit
                                font.bold: subButton.chosen
                            }
                        }
                    }
                }
            }
        }
    }

    // Sees every press first and lets it through to the buttons.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onPressed: function(mouse) {
            root.naviBarClicked()
            mouse.accepted = false
        }
    }
}
