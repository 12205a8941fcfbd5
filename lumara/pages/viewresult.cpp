#include "pages/viewresult.h"

#include "shell/welllistmodel.h"

ViewResult::ViewResult(QWidget *parent)
    : PageContainer(3, parent)
{
}

void ViewResult::switchPage(int index)
{
    WellListModel::instance()->setModelType(index == 0 ? 2 : 0);
    PageContainer::switchPage(index);
}
