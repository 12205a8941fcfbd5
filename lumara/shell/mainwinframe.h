#pragma once
// The page frame: the six module pages in one stack, indexed as the navigation bar's modules
// (0 Quality Control, 1 Set Up, 2 Analyze Plot, 3 Explore, 4 View Results, 5 Export). A page
// switch prepares the shared well list for the page before the page shows its sub-page.
#include <QPointer>
#include <QWidget>

class AnalysisPlot;
class Explore;
class Export;
class QCPage;
class QStackedLayout;
class Setup;
class ViewResult;

class MainWinFrame : public QWidget {
    Q_OBJECT
public:
    explicit MainWinFrame(QWidget *parent = nullptr);

    // Makes the module page current and shows its sub-page; a module index outside 0 to 5
    // changes nothing.
    void switchPage(int primary, int sub);

    int currentIndex() const;
    QWidget *page(int primary) const;

private:
    QStackedLayout *m_stack = nullptr;
    QCPage *m_qcPage = nullptr;
    Setup *m_setup = nullptr;
    AnalysisPlot *m_analysisPlot = nullptr;
    Explore *m_explore = nullptr;
    ViewResult *m_viewResult = nullptr;
    Export *m_export = nullptr;
};
