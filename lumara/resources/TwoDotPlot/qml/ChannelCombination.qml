// What the 2D and 3D combination dialogs share: six channel boxes, the proposed name, the
// error line and the buttons. `needed` channels make a combination; with all of them checked
// the other boxes are locked. The 2D view keeps the first checked channel as x
// (`firstChannel`); the 3D view takes the checked channels ascending.
import QtQuick 2.15
import QtQuick.Controls 2.15

Item {
    id: root
    width: 560 * resoving
    height: 402 * resoving

    property int needed: 2
    property bool ascending: false
    property string prompt: ""
    property string nameLabel: ""
    property string emptyNameText: ""
    property string background: ""
    property Component checkBox
    property int firstChannel: 0

    property bool isEnglish: true
    property bool channelEnable: false
    property bool channe2Enable: false
    property bool channe3Enable: false
    property bool channe4Enable: false
    property bool channe5Enable: false
    property bool channe6Enable: false
    property string target1Name: ""
    property string target2Name: ""
    property string target3Name: ""
    property string target4Name: ""
    property string target5Name: ""
    property string target6Name: ""
    property string fluo1Name: ""
    property string fluo2Name: ""
    property string fluo3Name: ""
    property string fluo4Name: ""
    property string fluo5Name: ""
    property string fluo6Name: ""

    signal cancelClicked()
    signal chosen(var channels, string name)
    signal combitionExist()
    signal plotNameExist()

    readonly property var channelColors: ["#0024d9", "#009ada", "#009944", "#f45000", "#ff0014", "#840000"]
    readonly property var offered: [channelEnable, channe2Enable, channe3Enable, channe4Enable, channe5Enable, channe6Enable]
    readonly property var targetNames: [target1Name, target2Name, target3Name, target4Name, target5Name, target6Name]
    readonly property var dyeNames: [fluo1Name, fluo2Name, fluo3Name, fluo4Name, fluo5Name, fluo6Name]

    // The checked channels in the order the combination takes them.
    function chosenChannels() {
        var checked = []
        for (var i = 0; i < boxes.count; ++i) {
            var box = boxes.itemAt(i)
            if (box && box.item && box.item.checked)
                checked.push(i + 1)
        }
        if (ascending || firstChannel === 0 || checked.indexOf(firstChannel) < 0)
            return checked
        var ordered = [firstChannel]
        for (var k = 0; k < checked.length; ++k)
            if (checked[k] !== firstChannel)
                ordered.push(checked[k])
        return ordered
    }

    function checkChanged() {
        var checked = []
        for (var i = 0; i < boxes.count; ++i) {
            var box = boxes.itemAt(i)
            if (box && box.item && box.item.checked)
                checked.push(i + 1)
        }
        if (!ascending) {
            if (checked.length === 1)
                firstChannel = checked[0]
            else if (checked.length === 0)
                firstChannel = 0
        }
        errorText.visible = false
        var full = checked.length === needed
        for (var j = 0; j < boxes.count; ++j) {
            var b = boxes.itemAt(j)
            if (b && b.item)
                b.item.enabled = full ? b.item.checked : offered[j]
        }
        yesButton.enabled = full
        var names = []
        var channels = chosenChannels()
        for (var n = 0; n < channels.length; ++n)
            names.push(targetNames[channels[n] - 1])
        nameField.text = names.join("-")
    }

    onOfferedChanged: {
        for (var j = 0; j < boxes.count; ++j) {
            var b = boxes.itemAt(j)
            if (b && b.item && !b.item.checked)
                b.item.enabled = offered[j]
        }
    }
    onCombitionExist: { errorText.text = qsTr("The thumbnail already exist!"); errorText.visible = true }
    onPlotNameExist: { errorText.text = qsTr("The thumbnail name already exists!"); errorText.visible = true }

    Image {
        anchors.fill: parent
        source: root.background
    }

    Text {
        x: 40 * resoving
        y: 36 * resoving
        width: parent.width - 80 * resoving
        wrapMode: Text.WordWrap
        text: root.prompt
        font.family: "Roboto"
        font.pixelSize: 14 * resoving
        color: "#333333"
    }

    Column {
        x: 60 * resoving
        y: 90 * resoving
        spacing: 12 * resoving
        Repeater {
            id: boxes
            model: 6
            delegate: Loader {
                sourceComponent: root.checkBox
                onLoaded: {
                    item.objectName = "channelBox" + (index + 1)
                    item.enabled = Qt.binding(function () { return root.offered[index] })
                    item.circleColor = Qt.binding(function () { return root.offered[index] ? root.channelColors[index] : "#b3b3b3" })
                    item.dyeName = Qt.binding(function () { return root.dyeNames[index] })
                    item.targetName = Qt.binding(function () { return root.targetNames[index] })
                    item.checkedChanged.connect(root.checkChanged)
                }
            }
        }
    }

    Text {
        id: nameLabelText
        x: 40 * resoving
        y: 284 * resoving
        text: root.nameLabel
        font.family: "Roboto"
        font.pixelSize: 13 * resoving
        color: "#333333"
    }
    TextField {
        id: nameField
        objectName: "nameField"
        anchors.left: nameLabelText.right
        anchors.leftMargin: 10 * resoving
        anchors.verticalCenter: nameLabelText.verticalCenter
        width: 260 * resoving
        height: 28 * resoving
        font.family: "Roboto"
        font.pixelSize: 12 * resoving
        selectByMouse: true
        onTextEdited: errorText.visible = false
    }
    Text {
        id: errorText
        objectName: "errorText"
        x: nameField.x
        y: nameField.y + nameField.height + 4 * resoving
        visible: false
        color: "#FF0000"
        font.family: "Roboto"
        font.pixelSize: 12 * resoving
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 40 * resoving
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 30 * resoving
        spacing: 16 * resoving
        Plot2DButton {
            id: yesButton
            objectName: "yesButton"
            text: qsTr("Yes")
            enabled: false
            onClicked: {
                if (nameField.text.length === 0) {
                    errorText.text = root.emptyNameText
                    errorText.visible = true
                    return
                }
                root.chosen(root.chosenChannels(), nameField.text)
            }
        }
        Plot2DButton {
            objectName: "cancelButton"
            text: qsTr("Cancel")
            onClicked: root.cancelClicked()
        }
    }
}
