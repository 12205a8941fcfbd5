// A bound field of the histogram and 1D axis dialogs: the 2D dialog's spin box (two decimals,
// arrows step by one and never below 0, an empty text becomes 0 when the field is left).
import QtQuick 2.15
import "../../TwoDotPlot/qml"

Plot2DSpinBox {
}
