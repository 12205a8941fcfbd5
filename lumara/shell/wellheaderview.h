#pragma once
// The header of the well lists: the title "Wells List", grey while no wells are loaded, with
// the exclusion mark (some well has excluded droplets) and the compensation mark (a matrix has
// been applied since the last clearing).
#include <QHeaderView>

class WellHeaderView : public QHeaderView {
    Q_OBJECT
public:
    WellHeaderView(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private slots:
    // True sets the compensation mark; false leaves it as it is.
    void useApplyCompensation(bool able);
    void resetApplyCompensation();
};
