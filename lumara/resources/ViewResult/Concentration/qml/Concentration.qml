// The concentration page's panel: several populations may be ticked.
import QtQuick 2.15
import "../../qml"

ChartPanel {
    assetFolder: "qrc:/ViewResult/Concentration/assert/"
    singleChoice: false
    showLegend: false
}
