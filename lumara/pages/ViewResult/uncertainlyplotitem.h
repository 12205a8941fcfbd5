#pragma once
// What the uncertainty chart is given per result row: the row's uncertainty figures and
// curve as the business layer computes them, and the colour to draw them in.
#include "bll/resultcalculate.h"

#include <QString>

struct UncertainlyPlotItem : UncertainlyCurveInfo {
    QString color;
};
