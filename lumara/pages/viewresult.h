#pragma once
// The View Results module: 0 the result table, 1 the concentration graph, 2 the uncertainty curves.
#include "pages/pagecontainer.h"

class ViewResult : public PageContainer {
    Q_OBJECT
public:
    explicit ViewResult(QWidget *parent = nullptr);

    // The result table reads the shared well list in its result mode, the graphs in the
    // plain one; then the sub-page of that index is made current.
    void switchPage(int index);
};
