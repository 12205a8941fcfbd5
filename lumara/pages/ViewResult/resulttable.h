#pragma once
// The Result Table sub-page of View Results: the experiment details, the scanning parameters
// of the selected row, the experiment comment and the table of the result model, with the
// wells, the merged samples or both; for reagent-kit packages the two-target ratio table.
#include <QPointer>
#include <QQuickWidget>

class ResultTable : public QQuickWidget {
    Q_OBJECT
public:
    explicit ResultTable(QWidget *parent = nullptr);

    // With a selection in the list mode's rows: the view shows the list mode and reads the
    // model again. Without one nothing changes.
    void refresh();

signals:
    void updateModelData();
    void clickedBoth();
    void clickedIndividual();
    void clickedMerge();

private slots:
    void switchToBoth();
    void switchToSignle();
    void switchToMerge();

private:
    void switchListMode(int mode);

    QPointer<QObject> m_root;
};
