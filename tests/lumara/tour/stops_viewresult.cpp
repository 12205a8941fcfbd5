// View Results: the result table with a merged sample, the concentration bars of a well and the
// merged row, and the uncertainty curve of one row. A package whose wells all have samples of
// their own gets a merged row as a user makes one: the second well's sample name typed in the
// Set Up table to the first's. With a single well the pages show what the package gives.
#include "tour.h"

#include "pages/EditExperiment/experimentedit.h"
#include "pages/ViewResult/concentration.h"
#include "pages/ViewResult/populationselectmodel.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/resulttable.h"
#include "pages/ViewResult/uncertainly.h"
#include "pages/setup.h"
#include "pages/viewresult.h"
#include "shell/mainwindows.h"
#include "shell/welllistmodel.h"

#include <QQuickItem>
#include <QTest>

#include <stdexcept>

namespace {

ResultModel *rows()
{
    return ResultModel::instance();
}

// The sample-name editor of a well's row in the Set Up table (cells hold the well's id).
QQuickItem *sampleEditor(QQuickItem *under, uint wellId)
{
    for (QQuickItem *child : under->childItems()) {
        if (child->objectName() == QLatin1String("sampleName")) {
            // Editor, its loader, the cell.
            QQuickItem *cell = child->parentItem() ? child->parentItem()->parentItem() : nullptr;
            if (cell && cell->property("wellId").toUInt() == wellId)
                return child;
        }
        if (QQuickItem *found = sampleEditor(child, wellId))
            return found;
    }
    return nullptr;
}

// A merged row for the result pages: there already, or made on the Set Up page by giving the
// second well the first well's sample name, typed into its cell as a user does. False when the
// package has a single well.
bool ensureMergedRow(TourContext &context)
{
    if (!rows()->getMergedRows().isEmpty())
        return true;
    WellListModel *wells = WellListModel::instance();
    const QList<uint> ids = wells->getAllWellIDs();
    if (ids.size() < 2)
        return false;
    auto *setup = qobject_cast<Setup *>(context.visit(1, 0));
    ExperimentEdit *table = setup ? setup->experimentEdit() : nullptr;
    auto *root = table ? qobject_cast<QQuickItem *>(table->rootObject()) : nullptr;
    if (!root)
        throw std::runtime_error("no Set Up table");
    grabWindow(context.window);
    QQuickItem *editor = sampleEditor(root, ids.at(1));
    if (!editor)
        throw std::runtime_error("the Set Up table shows no sample of the second well");
    // A click into the cell, the name typed over its text, and the cell left with Tab, which
    // takes the name.
    const QString sample = wells->getSampleName(ids.at(0));
    const QPoint centre = editor->mapToScene(QPointF(editor->width() / 2, editor->height() / 2)).toPoint();
    // The keys go to the active window: the tour's other windows may have taken that.
    context.window->activateWindow();
    if (!QTest::qWaitForWindowActive(context.window))
        throw std::runtime_error("the window does not become active");
    QTest::mouseClick(table, Qt::LeftButton, Qt::NoModifier, centre);
    if (!QTest::qWaitFor([editor] { return editor->hasActiveFocus(); }))
        throw std::runtime_error("the sample cell takes no focus");
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(table, sample);
    QTest::keyClick(table, Qt::Key_Tab);
    QCoreApplication::processEvents();
    if (wells->getSampleName(ids.at(1)) != sample)
        throw std::runtime_error("the Set Up table did not take the sample name");
    context.visit(4, 0);
    if (rows()->getMergedRows().isEmpty())
        throw std::runtime_error("two wells of one sample make no merged row");
    return true;
}

// Selects these rows of the chart lists (list mode 0: wells, then merged rows).
void selectRows(const QList<int> &tableRows)
{
    rows()->clearSelect();
    for (int row : tableRows)
        rows()->addSelectRow(row);
    rows()->updateModel();
}

} // namespace

void addViewResultStops(Tour &tour)
{
    tour.add(QStringLiteral("result-table"), [](TourContext &context) {
        ensureMergedRow(context);
        auto *page = qobject_cast<ViewResult *>(context.visit(4, 0));
        if (!page)
            throw std::runtime_error("no View Results page");
        // Both mode, as its button does; the first well selected.
        QMetaObject::invokeMethod(page->resultTable()->rootObject(), "clickedBoth");
        return grabWindow(context.window);
    });
    tour.add(QStringLiteral("concentration"), [](TourContext &context) {
        const bool merged = ensureMergedRow(context);
        context.visit(4, 1);
        rows()->setListMode(0);
        // The chart lists have no header row: the first well and the merged row after the
        // wells; the page charts them when shown again.
        selectRows(merged ? QList<int>{0, context.wellCount} : QList<int>{0});
        auto *page = qobject_cast<ViewResult *>(context.visit(4, 1));
        if (!page || page->concentration()->populationModel()->getSelectIDs().isEmpty())
            throw std::runtime_error("no population ticked on the concentration page");
        return grabWindow(context.window);
    });
    tour.add(QStringLiteral("uncertainty"), [](TourContext &context) {
        const bool merged = ensureMergedRow(context);
        context.visit(4, 2);
        selectRows({merged ? context.wellCount : 0});
        auto *page = qobject_cast<ViewResult *>(context.visit(4, 2));
        if (!page || page->uncertainty()->populationModel()->getSelectIDs().size() != 1)
            throw std::runtime_error("the uncertainty page charts no population");
        return grabWindow(context.window);
    });
}
