// The 2D page's thresholding-mode box: the same box as the other plot pages'.
import QtQuick 2.15
import "../../Histogram/qml" as Shared

Shared.ThresholdModel {
}
