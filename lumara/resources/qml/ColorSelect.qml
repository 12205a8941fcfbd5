// The colour picker: swatches, a saturation/value square with a hue bar, and the colour as
// hue, saturation, value, red, green, blue and hex digits. Not scaled: 596 x 512 pixels.
import QtQuick 2.15
import QtQuick.Controls 2.15

Rectangle {
    id: root
    width: 596
    height: 512
    color: "#ffffff"
    border.width: 1
    border.color: "#c8d3da"

    // The colour shown as "Current", and the hex digits the picker starts from.
    property string currentcolor: "#ff0000"
    property string current: "ff0000"
    readonly property string title: qsTr("Select Color")

    // The colour being chosen: hue, saturation and value from 0 to 1 (the hue survives a grey).
    property real hue: 0
    property real saturation: 1
    property real value: 1
    property color newColor: "#ff0000"

    signal yesClicked()
    signal cancelClicked()
    signal sigClrValue(string color)

    readonly property var swatches: [
        "#ffd1d1", "#fccca8", "#ffecd1", "#fffcc1", "#8bffbe", "#baffff", "#ace7ff", "#b4c0ff", "#dbadff", "#fdcbff", "#eeeeee", "#898989",
        "#ff9b9b", "#f9af7e", "#f5d8ad", "#fff88a", "#25ff85", "#69ffff", "#7dd9ff", "#7c91ff", "#c983ff", "#fca5ff", "#e5e5e5", "#7d7d7d",
        "#ff7373", "#f79459", "#e6c492", "#fff662", "#00e465", "#00fcfc", "#5bcfff", "#3d5cff", "#ba61ff", "#fa6dff", "#dcdcdc", "#707070",
        "#ff4444", "#f47a2f", "#cfa972", "#fff32e", "#00c357", "#00e1e1", "#23beff", "#0d35ff", "#a531ff", "#f834ff", "#d2d2d2", "#626262",
        "#ff0000", "#ff6600", "#b28850", "#fff000", "#00b24f", "#00c4c4", "#00a9ef", "#0028ee", "#9000ff", "#f600ff", "#c9c9c9", "#535353",
        "#e60000", "#f45000", "#996c33", "#ecde00", "#009944", "#00a5a5", "#0088bd", "#0021c6", "#7c00dd", "#d800e0", "#bfbfbf", "#434343",
        "#c40000", "#d54a07", "#81511c", "#d0c400", "#007d38", "#008f8f", "#006c97", "#001ca5", "#6801b8", "#b700be", "#b5b5b5", "#313131",
        "#a30606", "#b33d04", "#6a3906", "#aaa000", "#006626", "#006767", "#005a7d", "#001789", "#4c0088", "#89008e", "#aaaaaa", "#1b1b1b",
        "#840000", "#832c03", "#4e2900", "#8c8400", "#004118", "#005353", "#003c53", "#000e55", "#380064", "#620066", "#a0a0a0", "#000000"
    ]

    // Whole units of a fraction, rounded down (the small step keeps 0.6 * 255 from giving 152).
    function units(fraction, scale) { return Math.floor(fraction * scale + 1e-6) }

    function show(c) {
        newColor = c
        redRow.field.text = units(c.r, 255)
        greenRow.field.text = units(c.g, 255)
        blueRow.field.text = units(c.b, 255)
        hueRow.field.text = units(hue, 360)
        saturationRow.field.text = units(saturation, 100)
        valueRow.field.text = units(value, 100)
        hexField.text = c.toString().substring(1)
    }
    function takeColor(c) {
        if (c.hsvHue >= 0)
            hue = c.hsvHue
        saturation = c.hsvSaturation
        value = c.hsvValue
        show(c)
    }
    function takeHsv(h, s, v) {
        hue = Math.min(Math.max(h, 0), 1)
        saturation = Math.min(Math.max(s, 0), 1)
        value = Math.min(Math.max(v, 0), 1)
        show(Qt.hsva(hue, saturation, value, 1))
    }
    function fieldValue(field, top) { return Math.min(Math.max(parseInt(field.text) || 0, 0), top) }
    function rgbEdited() {
        takeColor(Qt.rgba(fieldValue(redRow.field, 255) / 255, fieldValue(greenRow.field, 255) / 255,
                          fieldValue(blueRow.field, 255) / 255, 1))
    }
    function hsvEdited() {
        takeHsv(fieldValue(hueRow.field, 360) / 360, fieldValue(saturationRow.field, 100) / 100,
                fieldValue(valueRow.field, 100) / 100)
    }

    // "#rrggbb" as a colour.
    function colorOf(text) {
        return Qt.rgba(parseInt(text.substr(1, 2), 16) / 255, parseInt(text.substr(3, 2), 16) / 255,
                       parseInt(text.substr(5, 2), 16) / 255, 1)
    }
    function takeCurrent() {
        if (/^[0-9a-fA-F]{6}$/.test(current))
            takeColor(colorOf("#" + current))
    }
    onCurrentChanged: takeCurrent()
    Component.onCompleted: takeCurrent()

    Text {
        x: 20; y: 14
        text: root.title
        font.family: "Roboto"; font.pixelSize: 16; font.bold: true
        color: "#333333"
    }
    Rectangle { x: 1; y: 44; width: parent.width - 2; height: 1; color: "#e4e9ec" }

    // Saturation across, value down, for the hue of the bar.
    Item {
        id: square
        x: 20; y: 60; width: 256; height: 256
        Rectangle {
            anchors.fill: parent
            gradient: Gradient {
                orientation: Gradient.Horizontal
                GradientStop { position: 0.0; color: "#ffffff" }
                GradientStop { position: 1.0; color: Qt.hsva(root.hue, 1, 1, 1) }
            }
        }
        Rectangle {
            anchors.fill: parent
            gradient: Gradient {
                GradientStop { position: 0.0; color: "transparent" }
                GradientStop { position: 1.0; color: "#000000" }
            }
        }
        Rectangle {
            x: root.saturation * square.width - 6
            y: (1 - root.value) * square.height - 6
            width: 12; height: 12; radius: 6
            color: "transparent"
            border.width: 2
            border.color: root.value > 0.5 ? "#333333" : "#ffffff"
        }
        MouseArea {
            anchors.fill: parent
            function pick(mouse) {
                root.takeHsv(root.hue, mouse.x / square.width, 1 - mouse.y / square.height)
            }
            onPressed: function(mouse) { pick(mouse) }
            onPositionChanged: function(mouse) { pick(mouse) }
        }
    }

    Rectangle {
        id: hueBar
        x: 290; y: 60; width: 24; height: 256
        gradient: Gradient {
            GradientStop { position: 0 / 6; color: "#ff0000" }
            GradientStop { position: 1 / 6; color: "#ffff00" }
            GradientStop { position: 2 / 6; color: "#00ff00" }
            GradientStop { position: 3 / 6; color: "#00ffff" }
            GradientStop { position: 4 / 6; color: "#0000ff" }
            GradientStop { position: 5 / 6; color: "#ff00ff" }
            GradientStop { position: 1.0; color: "#ff0000" }
        }
        MouseArea {
            anchors.fill: parent
            function slide(mouse) {
                var top = hueBar.height - 2
                var y = Math.min(Math.max(mouse.y, 0), top)
                root.takeHsv(360 / top * y / 360, root.saturation, root.value)
            }
            onPressed: function(mouse) { slide(mouse) }
            onPositionChanged: function(mouse) { slide(mouse) }
        }
    }
    Canvas {
        id: hueMarker
        x: hueBar.x + hueBar.width + 1
        y: hueBar.y + root.hue * (hueBar.height - 2) - height / 2
        width: 9; height: 10
        onPaint: {
            var ctx = getContext("2d")
            ctx.fillStyle = "#333333"
            ctx.beginPath()
            ctx.moveTo(0, height / 2)
            ctx.lineTo(width, 0)
            ctx.lineTo(width, height)
            ctx.closePath()
            ctx.fill()
        }
    }

    // New above current.
    Column {
        x: 340; y: 60
        Row {
            spacing: 10
            Rectangle { width: 100; height: 34; color: root.newColor; border.width: 1; border.color: "#c8d3da" }
            Text { height: 34; verticalAlignment: Text.AlignVCenter; text: qsTr("New"); font.family: "Roboto"; font.pixelSize: 12; color: "#333333" }
        }
        Row {
            spacing: 10
            Rectangle { width: 100; height: 34; color: root.currentcolor; border.width: 1; border.color: "#c8d3da" }
            Text { height: 34; verticalAlignment: Text.AlignVCenter; text: qsTr("Current"); font.family: "Roboto"; font.pixelSize: 12; color: "#333333" }
        }
    }

    component Field: Row {
        id: fieldRow
        property alias label: labelText.text
        property alias suffix: suffixText.text
        property alias field: input
        property int maximum: 255
        signal edited()
        spacing: 6
        height: 24
        Text { id: labelText; width: 14; height: 24; verticalAlignment: Text.AlignVCenter; font.family: "Roboto"; font.pixelSize: 12; color: "#333333" }
        TextField {
            id: input
            width: 56; height: 24
            padding: 2; leftPadding: 6
            font.family: "Roboto"; font.pixelSize: 12
            color: "#333333"
            selectByMouse: true
            validator: IntValidator { bottom: 0; top: fieldRow.maximum }
            background: Rectangle { border.width: 1; border.color: input.activeFocus ? "#3b9fc8" : "#c8d3da" }
            onEditingFinished: fieldRow.edited()
        }
        Text { id: suffixText; width: 14; height: 24; verticalAlignment: Text.AlignVCenter; font.family: "Roboto"; font.pixelSize: 12; color: "#333333" }
    }

    Column {
        x: 340; y: 150; spacing: 8
        Field { id: hueRow; objectName: "hueRow"; label: "H"; suffix: "°"; maximum: 360; onEdited: root.hsvEdited() }
        Field { id: saturationRow; objectName: "saturationRow"; label: "S"; suffix: "%"; maximum: 100; onEdited: root.hsvEdited() }
        Field { id: valueRow; objectName: "valueRow"; label: "B"; suffix: "%"; maximum: 100; onEdited: root.hsvEdited() }
    }
    Column {
        x: 460; y: 150; spacing: 8
        Field { id: redRow; objectName: "redRow"; label: "R"; onEdited: root.rgbEdited() }
        Field { id: greenRow; objectName: "greenRow"; label: "G"; onEdited: root.rgbEdited() }
        Field { id: blueRow; objectName: "blueRow"; label: "B"; onEdited: root.rgbEdited() }
    }

    Row {
        x: 340; y: 256; spacing: 6
        Text { width: 14; height: 24; verticalAlignment: Text.AlignVCenter; text: "#"; font.family: "Roboto"; font.pixelSize: 12; color: "#333333" }
        TextField {
            id: hexField
            objectName: "hexField"
            width: 96; height: 24
            padding: 2; leftPadding: 6
            readOnly: true
            text: "ff0000"
            font.family: "Roboto"; font.pixelSize: 12
            color: "#333333"
            selectByMouse: true
            background: Rectangle { border.width: 1; border.color: "#c8d3da"; color: "#f7f9fa" }
        }
    }

    Grid {
        x: 20; y: 330
        columns: 12
        spacing: 2
        Repeater {
            model: root.swatches
            Rectangle {
                width: 16; height: 16
                color: modelData
                border.width: 1
                border.color: Qt.darker(modelData, 1.15)
                MouseArea { anchors.fill: parent; onClicked: root.takeColor(root.colorOf(modelData)) }
            }
        }
    }

    Row {
        anchors { right: parent.right; bottom: parent.bottom; rightMargin: 20; bottomMargin: 20 }
        spacing: 16
        DialogButton {
            objectName: "yesButton"
            text: qsTr("Yes")
            onClicked: { root.sigClrValue("#" + hexField.text); root.yesClicked() }
        }
        DialogButton {
            objectName: "noButton"
            text: qsTr("No")
            onClicked: root.cancelClicked()
        }
    }
}
