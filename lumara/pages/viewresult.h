#pragma once
// The View Results page: the result table (0), the concentration chart (1) and the uncertainty
// chart (2) in one stack. The three share the well list and the result model, so a switch
// first puts both models into the mode the next view expects.
#include "pages/pagecontainer.h"

#include <QPointer>

class Concentration;
class ResultTable;
class Uncertainly;

class ViewResult : public PageContainer {
    Q_OBJECT
public:
    explicit ViewResult(QWidget *parent = nullptr);
    ~ViewResult() override;

    // Sets the models' modes, refreshes the view and makes it current; an index outside 0..2
    // changes nothing.
    void switchPage(int index);

    ResultTable *resultTable() const;
    Concentration *concentration() const;
    Uncertainly *uncertainty() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<ResultTable> m_resultTable;
    QPointer<Concentration> m_concentration;
    QPointer<Uncertainly> m_uncertainty;
};
