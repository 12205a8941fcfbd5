// The channel check box of the 3D views: the 2D dialog's box scaled by the UI factor.
import QtQuick 2.15
import "qrc:/TwoDotPlot/qml" as TwoD

TwoD.SelectChannelCheckBox {
    unit: resoving
}
