#pragma once
// The View Results page: the result table (0), the concentration chart (1) and the uncertainty
// chart (2) in one stack. The three share the well list and the result model, so a switch
// first puts both models into the mode the next view expects.
#include <QPointer>
#include <QWidget>

class Concentration;
class QStackedLayout;
class ResultTable;
class Uncertainly;

class ViewResult : public QWidget {
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
    int currentIndex() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<ResultTable> m_resultTable;
    QPointer<Concentration> m_concentration;
    QPointer<Uncertainly> m_uncertainty;
    QPointer<QStackedLayout> m_stack;
};
