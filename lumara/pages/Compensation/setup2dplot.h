#pragma once
// One scatter plot of the compensation page: the droplets of two channels against each other,
// without threshold lines, with the plots' image actions.
#include "quorin2dplot.h"

class SetUp2DPlot : public Quorin2DPlot {
    Q_OBJECT
public:
    explicit SetUp2DPlot(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
