#pragma once
// The concentration chart: one group per result row along the x axis, in each group one bar
// per population (a box in the population's colour at the concentration, whiskers with caps
// at its 95 % bounds), the concentration upwards on a linear or log axis. Used by the
// concentration page and by the export's image of it.
#include "pages/ViewResult/concentrationgroup.h"
#include "pages/ViewResult/chartitems.h"

#include "qwtbasic.h"

#include <QMap>

class QwtPlotPicker;

class ZtConcentration : public QwtBasic {
    Q_OBJECT
public:
    explicit ZtConcentration(QWidget *parent = nullptr);
    ~ZtConcentration() override;

    // The pixel size the next setData lays the bars out for (the page's plot area, or the
    // export's image); sizes below 1 count as 1.
    void setPlotSize(int width, int height);
    void setLinearAxis();
    void setLogAxis();

    // Replaces every bar, the labels and both axis ranges. The caller replots.
    void setData(const QVector<ConcentrationGroup> &groups, const QString &longestLabel);

    // The top of the y range of the last setData, which a double click returns to.
    double storedYMaximum() const { return m_yMaximum; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int fittedLabelPixelSize(int groupCount, const QString &longestLabel) const;

    int m_plotWidth = 1;
    int m_plotHeight = 1;
    bool m_linear = true;
    QwtPlotPicker *m_picker = nullptr;
    double m_yMaximum = 0.0;
    ChartItems m_items;
};
