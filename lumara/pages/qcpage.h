#pragma once
// The Quality Control module: one page, the quality-control view.
#include "pages/pagecontainer.h"

class QualityControl;

class QCPage : public PageContainer {
    Q_OBJECT
public:
    explicit QCPage(QWidget *parent = nullptr);

    // The page shows the selected well afresh every time it is opened.
    void switchPage(int index);
    QualityControl *qualityControl() const { return m_quality; }

private:
    QualityControl *m_quality = nullptr;
};
