#pragma once
// The uncertainty chart: the relative uncertainty (%) of a concentration estimate against the
// concentration. A filled point per row at its estimate; for a single row also its curve with
// a cross-hair through the estimate, its dynamic-range limits and its optimal concentration.
// Used by the uncertainty page and by the export's image of it.
#include "pages/ViewResult/uncertainlyplotitem.h"
#include "pages/ViewResult/chartitems.h"

#include "qwtbasic.h"

#include <QVector>

class QwtPlotPicker;

class ZtUncertainly : public QwtBasic {
    Q_OBJECT
public:
    ZtUncertainly(int labelPixelSize, QWidget *parent = nullptr);
    ~ZtUncertainly() override;

    void setLinearAxis();
    void setLogAxis();

    // Replaces every item and the percent axis' range. Only the first item's curve is drawn;
    // values that are not finite get no mark. The caller replots.
    void setData(const QVector<UncertainlyPlotItem> &items);

    void addPointMarker(const QString &color, double x, double y);
    void addOptimalMarker(const QString &color, double x, double y);
    void addRangeLimitLine(double x);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:

    QwtPlotPicker *m_picker = nullptr;
    ChartItems m_items;
};
