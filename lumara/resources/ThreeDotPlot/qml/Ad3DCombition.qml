// Three channels (ascending) and a name for a new 3D dot plot.
import QtQuick 2.15
import "qrc:/TwoDotPlot/qml" as TwoD

TwoD.ChannelCombination {
    needed: 3
    ascending: true
    prompt: qsTr("Please select three targets as the X,Y  and Z axis of the new 3D dot plot:")
    nameLabel: qsTr("Name the new 3D dot plot:")
    emptyNameText: qsTr("The plot 3D name cannot be empty!")
    background: "qrc:/ThreeDotPlot/assets/dialog_select_color_bg1.png"
    checkBox: Component { SelectChannelCheckBox {} }

    signal okClicked(int ch1, int ch2, int ch3, string name)

    onChosen: okClicked(channels[0], channels[1], channels[2], name)
}
