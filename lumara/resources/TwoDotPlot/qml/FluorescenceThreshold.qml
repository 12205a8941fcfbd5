// The 2D page's line-threshold box: the same rows and buttons as the other plot pages'. Apply
// and Cancel are enabled with the box, so a dragged cross can always be applied.
import QtQuick 2.15
import "../../Histogram/qml" as Shared

Shared.FluorescenceThreshold {
}
