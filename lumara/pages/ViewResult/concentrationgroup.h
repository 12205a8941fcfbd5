#pragma once
// What the concentration chart is given: one group of bars per result row.
#include <QString>
#include <QVector>

// One population of one row: the measured concentration with its 95 % bounds (copies/µL)
// and the population's colour name.
struct ConcentrationPoint {
    uint populationId = 0;
    double concentration = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    QString color;
};

// One row (a well or a merged sample): its label under the axis and its bars, left to right.
struct ConcentrationGroup {
    QString label;
    QVector<ConcentrationPoint> points;
};
