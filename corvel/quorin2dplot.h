#pragma once
#include "corvel_global.h"
#include "qwtbasic.h"

#include <QStringList>
#include <QVector>

class QwtPlotCurve;
class QwtPlotMarker;

// Droplets of two channels as dot curves, one colour each, with a solid (being edited) and a
// dotted (stored) threshold cross.
class CORVEL_EXPORT Quorin2DPlot : public QwtBasic {
    Q_OBJECT
public:
    explicit Quorin2DPlot(QWidget *parent = nullptr);
    ~Quorin2DPlot() override;

    void AppendPlot2DPoints(const QVector<QPointF> &points, const QString &colour,
                            const double &size);
    void ClearPlot2DPoints();
    void SetPlot2DPointsColor(const QStringList &colours, const double &size);

    void Set2DThresholdSoildLineDraw(const QString &colour, const double &width);
    void Set2DThresholdSoildLineValue(const double &x, const double &y);
    void Set2DThresholdSoildLineVisible(const bool &visible);
    void Set2DThresholdDottedLineDraw(const QString &colour, const double &width);
    void Set2DThresholdDottedLineValue(const double &x, const double &y);
    void Set2DThresholdDottedLineVisible(const bool &visible);

private:
    QwtPlotCurve *newDotCurve();

    struct Private;
    std::unique_ptr<Private> d;
};
