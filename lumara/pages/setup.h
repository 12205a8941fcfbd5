#pragma once
// The Set Up module: 0 the experiment editor, 1 the spill-over compensation.
#include "pages/pagecontainer.h"

#include <QPointer>

class ExperimentEdit;
class SpillOverCompensate;

class Setup : public PageContainer {
    Q_OBJECT
public:
    explicit Setup(QWidget *parent = nullptr);
    ~Setup() override;

    // The table is refreshed before it shows; the compensation page draws its pairs after it
    // shows, as it places its plots by its own size. An index outside 0..1 changes nothing.
    void switchPage(int index);

    ExperimentEdit *experimentEdit() const;
    SpillOverCompensate *spillOverCompensate() const;

private:
    QPointer<ExperimentEdit> m_experimentEdit;
    QPointer<SpillOverCompensate> m_compensate;
};
