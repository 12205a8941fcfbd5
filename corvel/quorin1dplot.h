#pragma once
#include "corvel_global.h"
#include "qwtbasic.h"

#include <QMap>
#include <QPolygonF>
#include <QStringList>
#include <QVector>

// Labels the x axis with well names, each under the centre of its well.
class CORVEL_EXPORT Plot1dScaleDraw : public QuorinScaleDraw {
public:
    Plot1dScaleDraw(const QFont &labelFont, const QString &labelColor,
                    const QMap<int, QString> &labels);
    ~Plot1dScaleDraw() override;

    QwtText label(double value) const override;

private:
    QMap<int, QString> m_labels;
};

// Droplets of one channel as dots (x droplet index, y grey value), one or several wells side
// by side. Each dotted threshold polyline covers one well's x span; the points of a span at
// or above its threshold go to the upper curve, the rest to the lower one.
class CORVEL_EXPORT Quorin1DPlot : public QwtBasic {
    Q_OBJECT
public:
    explicit Quorin1DPlot(QWidget *parent = nullptr);
    ~Quorin1DPlot() override;

    void SetPlot1DPoints(const QVector<QPointF> &points);
    void AppendPlot1DPoints(const QVector<QPointF> &points);
    // Empties the plot and hands its points back, so that a caller drawing anew can refill
    // the same buffer instead of taking a fresh one of a million droplets.
    QVector<QPointF> TakePlot1DPoints();
    void SetPlot1DPointsColor(const QString &aboveColor, const QString &belowColor,
                              const double &size);

    void Set1DThresholdDottedLineDraw(const QString &colour, const double &width);
    void Set1DThresholdDottedLineValue(const QVector<QPolygonF> &lines);
    void Set1DThresholdDottedLineVisible(const bool &visible);
    void Set1DThresholdSoildLineDraw(const QString &colour, const double &width);
    void Set1DThresholdSoildLineValue(const QVector<QPolygonF> &lines,
                                      const QVector<int> &boldIndexes);
    void Set1DThresholdSoildLineVisible(const bool &visible);

    void Set1DXAxisDivInfo(const QStringList &wellNames, const QString &colour,
                           const double &width);
    void Clear1DAxisDiv();

private:
    void splitPoints();
    void removeDividers();

    struct Private;
    std::unique_ptr<Private> d;
};
