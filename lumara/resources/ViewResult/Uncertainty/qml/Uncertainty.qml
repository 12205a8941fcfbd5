// The uncertainty page's panel: one population at a time, and the legend of the chart.
import QtQuick 2.15
import "../../qml"

ChartPanel {
    assetFolder: "qrc:/ViewResult/Uncertainty/assert/"
    singleChoice: true
    showLegend: true
}
