// Message box with Yes and No.
import QtQuick 2.15

MessageFrame {
    id: root
    signal clickYes()
    signal clickNo()

    DialogButton { objectName: "yesButton"; unit: root.unit; text: qsTr("Yes"); onClicked: root.clickYes() }
    DialogButton { objectName: "noButton"; unit: root.unit; text: qsTr("No"); onClicked: root.clickNo() }
}
