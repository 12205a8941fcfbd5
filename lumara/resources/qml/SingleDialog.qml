// Message box with one button.
import QtQuick 2.15

MessageFrame {
    id: root
    signal clickYes()

    DialogButton { objectName: "yesButton"; unit: root.unit; text: qsTr("Yes"); onClicked: root.clickYes() }
}
