// Message box with Yes, No and Cancel; Cancel answers 2.
import QtQuick 2.15

MessageFrame {
    id: root
    signal clickYes()
    signal clickNo()
    signal clickCancel(int result)

    DialogButton { objectName: "yesButton"; unit: root.unit; text: qsTr("Yes"); onClicked: root.clickYes() }
    DialogButton { objectName: "noButton"; unit: root.unit; text: qsTr("No"); onClicked: root.clickNo() }
    DialogButton { objectName: "cancelButton"; unit: root.unit; text: qsTr("Cancel"); onClicked: root.clickCancel(2) }
}
