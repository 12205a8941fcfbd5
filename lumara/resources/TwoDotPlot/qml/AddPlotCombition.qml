// Two channels (the first checked is x) and a name for a new 2D dot plot.
import QtQuick 2.15

ChannelCombination {
    id: root
    needed: 2
    ascending: false
    prompt: qsTr("Please select two targets as the X  and Y axis of the new 2D dot plot:")
    nameLabel: qsTr("Name the new 2D dot plot:")
    emptyNameText: qsTr("The plot 2D name cannot be empty!")
    background: "qrc:/TwoDotPlot/assets/dialog_select_color_bg1.png"
    checkBox: Component { SelectChannelCheckBox {} }

    property int channel1ID: firstChannel
    property int channel2ID: 0

    signal okClicked(int ch1, int ch2, string name)

    onChosen: {
        channel2ID = channels[1]
        okClicked(channels[0], channels[1], name)
    }
}
