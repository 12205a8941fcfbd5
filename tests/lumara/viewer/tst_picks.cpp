// Picking droplets on the explore image as a user does: right clicks toggle markers, Ctrl +
// right clicks draw polygons, undo and redo step through the picks with their button signals,
// a right press inside a polygon takes it away, and the picks are excluded, included or the
// well restored, in the document and in the well list's flag. Picks survive plain clicks, and
// the polygon machinery survives every redraw of the image.
#include "pages/Explore/explordrpltmarker.h"

#include "bll/dropletexclude.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "modalanswerer.h"
#include "testmain.h"
#include "viewertest.h"

#include <QDialog>
#include <QGraphicsPathItem>
#include <QGraphicsPolygonItem>
#include <QSignalSpy>

using namespace ViewerTest;
using LumaraTest::ModalAnswerer;

namespace {

// The view with its internal pick state in reach.
class PickView : public ExploreView {
public:
    using DropletImageView::selectedDropletIds;
    // Back to the fitted view, where every droplet shows.
    void fit()
    {
        zoomSteps = 0;
        applyZoom();
    }
    int recorded() const { return operations.size(); }
    int undoable() const { return undone.size(); }
    QList<QGraphicsPolygonItem *> polygonsShown() const
    {
        QList<QGraphicsPolygonItem *> polygons;
        for (QGraphicsItem *item : scene()->items())
            if (auto *polygon = qgraphicsitem_cast<QGraphicsPolygonItem *>(item))
                polygons.append(polygon);
        return polygons;
    }
    int transientItems() const
    {
        int count = 0;
        for (QGraphicsItem *item : scene()->items())
            if (item->type() == QGraphicsLineItem::Type || item->type() == QGraphicsPathItem::Type)
                ++count;
        return count;
    }
};

// The undo and redo button signals in order: "U1" enableUndo(true), "R0" enableRedo(false).
class ButtonLog {
public:
    explicit ButtonLog(PickView &view)
    {
        QObject::connect(&view, &DropletImageView::enableUndo, &m_context,
                         [this](bool on) { m_log.append(on ? "U1" : "U0"); });
        QObject::connect(&view, &DropletImageView::enableRedo, &m_context,
                         [this](bool on) { m_log.append(on ? "R1" : "R0"); });
    }
    QStringList take()
    {
        const QStringList log = m_log;
        m_log.clear();
        return log;
    }

private:
    QObject m_context;
    QStringList m_log;
};

QPoint onDroplet(const QGraphicsView &view, int i)
{
    return toView(view, centreOf(i));
}

// Between droplets 0, 1, 6 and 7: no marker there.
QPoint between(const QGraphicsView &view)
{
    return toView(view, QPointF(48, 50));
}

// A triangle around droplet i, well clear of its neighbours.
QVector<QPoint> triangleAround(const QGraphicsView &view, int i)
{
    const QPoint c = centreOf(i);
    return {toView(view, c + QPointF(-12, -12)), toView(view, c + QPointF(12, -12)), toView(view, c + QPointF(0, 12))};
}

void drawPolygon(PickView &view, const QVector<QPoint> &corners)
{
    for (int k = 0; k + 1 < corners.size(); ++k)
        vertex(view, corners.at(k));
    ctrlMove(view, corners.last());
    releaseCtrl(view);
}

QSet<uint> excludedInDocument(uint wellId)
{
    return BLLInstance::getInstance()->getExcludedDroplets(wellId);
}

bool wellFlag(uint wellId)
{
    return WellListModel::instance()->getWellExclude(int(wellId));
}

// Markers on every droplet of the selected well, in the fitted view (the rectangle set zooms).
void markAll(PickView &view, bool picked)
{
    view.markBy2DRect(qMakePair(0u, 5000u), qMakePair(0u, 5000u), 1, 2, picked);
    view.fit();
}

// Markers on every droplet of well 1, none picked.
std::unique_ptr<PickView> markedView()
{
    auto view = shownView<PickView>();
    if (!view)
        return nullptr;
    view->loadImage(1, 1);
    markAll(*view, false);
    return view;
}

} // namespace

class TestPicks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
    }

    void init()
    {
        imageActionMode = 0;
        QVERIFY(load(standardSeed()));
        selectWell(1);
    }

    // A right click toggles a marker; it is recorded once, and stays recorded when deselected.
    void rightClicksToggle()
    {
        auto view = markedView();
        QVERIFY(view);
        QCOMPARE(markersOf(*view).size(), DropletCount);
        ButtonLog log(*view);
        rightClick(*view, onDroplet(*view, 3));
        QCOMPARE(selectedIds(*view), QSet<uint>{3});
        QVERIFY(markerOf(*view, 3)->isSelected());
        QCOMPARE(log.take(), QStringList{"U1"});
        rightClick(*view, onDroplet(*view, 3));
        QVERIFY(selectedIds(*view).isEmpty());
        QVERIFY(!markerOf(*view, 3)->isSelected());
        QCOMPARE(view->recorded(), 1);
        QVERIFY(log.take().isEmpty());
        rightClick(*view, onDroplet(*view, 3));
        QCOMPARE(view->recorded(), 1);
        QCOMPARE(view->selectedDropletIds(), QSet<uint>{3});
        // A right click with Shift, or beside every marker, picks nothing.
        rightClick(*view, onDroplet(*view, 4), Qt::ShiftModifier);
        rightClick(*view, between(*view));
        QCOMPARE(view->selectedDropletIds(), QSet<uint>{3});
        QCOMPARE(view->recorded(), 1);
    }

    void undoAndRedo_data()
    {
        QTest::addColumn<QString>("steps"); // p<i> pick droplet i, u undo, r redo, c a polygon round 20
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QSet<uint>>("picked");
        QTest::newRow("one pick undone")
            << "p1 u" << QStringList{"U1", "U0", "R1"} << QSet<uint>();
        QTest::newRow("two picks, one undone")
            << "p1 p2 u" << QStringList{"U1", "U1", "R1"} << QSet<uint>{1};
        QTest::newRow("undone and redone")
            << "p1 p2 u u r r" << QStringList{"U1", "U1", "R1", "U0", "R1", "U1", "R0", "U1"} << QSet<uint>{1, 2};
        QTest::newRow("empty lists say nothing")
            << "u r p1 r" << QStringList{"U1"} << QSet<uint>{1};
        QTest::newRow("a new pick keeps the redo list")
            << "p1 u p2 r" << QStringList{"U1", "U0", "R1", "U1", "R0", "U1"} << QSet<uint>{1, 2};
        QTest::newRow("polygon undone and redone")
            << "p1 c u" << QStringList{"U1", "U1", "R1"} << QSet<uint>{1};
        QTest::newRow("polygon redone")
            << "p1 c u r" << QStringList{"U1", "U1", "R1", "R0", "U1"} << QSet<uint>{1, 20};
    }

    // The buttons follow the lists, and the picks are what the steps leave.
    void undoAndRedo()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, buttons);
        QFETCH(QSet<uint>, picked);
        auto view = markedView();
        QVERIFY(view);
        ButtonLog log(*view);
        for (const QString &step : steps.split(QLatin1Char(' '))) {
            if (step.startsWith(QLatin1Char('p')))
                rightClick(*view, onDroplet(*view, step.mid(1).toInt()));
            else if (step == QLatin1String("u"))
                view->undo();
            else if (step == QLatin1String("r"))
                view->redo();
            else if (step == QLatin1String("c"))
                drawPolygon(*view, triangleAround(*view, 20));
        }
        QCOMPARE(log.take(), buttons);
        QCOMPARE(view->selectedDropletIds(), picked);
        // An undone marker shows no hexagon.
        for (DropletMarker *marker : markersOf(*view))
            QCOMPARE(marker->selected, picked.contains(marker->id) && marker->id != 20);
    }

    void polygons_data()
    {
        QTest::addColumn<QVector<QPointF>>("clicks");     // Ctrl + right clicks, image pixels
        QTest::addColumn<QVector<QPointF>>("releases");   // where the pointer is at each Ctrl release
        QTest::addColumn<QVector<QPointF>>("polygon");    // the closed polygon; empty: none
        const QPointF a(20, 20), b(100, 20), c(60, 100), d(20, 100);
        QTest::newRow("triangle to the pointer")
            << QVector<QPointF>{a, b} << QVector<QPointF>{c} << QVector<QPointF>{a, b, c};
        QTest::newRow("pointer still on the last vertex")
            << QVector<QPointF>{a, b, c} << QVector<QPointF>{c} << QVector<QPointF>{a, b, c};
        QTest::newRow("one vertex is no polygon")
            << QVector<QPointF>{a} << QVector<QPointF>{b} << QVector<QPointF>();
        QTest::newRow("kept vertex continued")
            << QVector<QPointF>{a} << QVector<QPointF>{b, d} << QVector<QPointF>{a, b, c, d};
    }

    // Ctrl + right clicks set vertices; the Ctrl release closes the polygon at the pointer.
    void polygons()
    {
        QFETCH(QVector<QPointF>, clicks);
        QFETCH(QVector<QPointF>, releases);
        QFETCH(QVector<QPointF>, polygon);
        auto view = markedView();
        QVERIFY(view);
        ButtonLog log(*view);
        vertex(*view, toView(*view, clicks.first()));
        for (int k = 1; k < clicks.size(); ++k)
            vertex(*view, toView(*view, clicks.at(k)));
        ctrlMove(*view, toView(*view, releases.first()));
        QCOMPARE(view->transientItems(), 2); // the open polyline and the rubber line
        releaseCtrl(*view);
        if (releases.size() > 1) {
            // The kept vertex goes on: clicks at the earlier pointer position and at c.
            vertex(*view, toView(*view, releases.first()));
            vertex(*view, toView(*view, QPointF(60, 100)));
            ctrlMove(*view, toView(*view, releases.last()));
            releaseCtrl(*view);
        }
        const QList<QGraphicsPolygonItem *> shown = view->polygonsShown();
        if (polygon.isEmpty()) {
            QVERIFY(shown.isEmpty());
            QCOMPARE(view->recorded(), 0);
            QVERIFY(log.take().isEmpty());
            return;
        }
        QCOMPARE(shown.size(), 1);
        QCOMPARE(view->transientItems(), 0);
        const QPolygonF drawn = shown.first()->polygon();
        QCOMPARE(drawn.size(), polygon.size());
        for (int k = 0; k < polygon.size(); ++k)
            QVERIFY2((drawn.at(k) - polygon.at(k)).manhattanLength() < 1.5,
                     qPrintable(QStringLiteral("vertex %1").arg(k)));
        QCOMPARE(shown.first()->brush().color(), QColor(255, 255, 0, 100));
        QCOMPARE(shown.first()->pen().color(), QColor(255, 255, 0));
        QCOMPARE(log.take(), QStringList{"U1"});
        QCOMPARE(view->recorded(), 1);
    }

    // What a polygon touches is picked; a plain right press inside it takes it away, quietly.
    void polygonPicksAndGoes()
    {
        auto view = markedView();
        QVERIFY(view);
        // Around droplets 0, 1, 6 and 7, touching none of the others.
        drawPolygon(*view, {toView(*view, QPointF(20, 20)), toView(*view, QPointF(76, 20)),
                            toView(*view, QPointF(76, 80)), toView(*view, QPointF(20, 80))});
        QCOMPARE(view->polygonsShown().size(), 1);
        ButtonLog log(*view);
        rightClick(*view, between(*view));
        QVERIFY(view->polygonsShown().isEmpty());
        QCOMPARE(view->recorded(), 0);
        QVERIFY(log.take().isEmpty());
        QVERIFY(view->selectedDropletIds().isEmpty());

        drawPolygon(*view, {toView(*view, QPointF(20, 20)), toView(*view, QPointF(76, 20)),
                            toView(*view, QPointF(76, 80)), toView(*view, QPointF(20, 80))});
        rightClick(*view, onDroplet(*view, 12));
        QCOMPARE(view->selectedDropletIds(), (QSet<uint>{0, 1, 6, 7, 12}));
        // The polygon has left the scene but stays a pick: taken again, and undone.
        QVERIFY(view->polygonsShown().isEmpty());
        QCOMPARE(view->selectedDropletIds(), (QSet<uint>{0, 1, 6, 7, 12}));
        view->undo(); // droplet 12
        view->undo(); // the polygon
        QVERIFY(view->selectedDropletIds().isEmpty());
        view->redo();
        QCOMPARE(view->polygonsShown().size(), 1);
        QCOMPARE(view->selectedDropletIds(), (QSet<uint>{0, 1, 6, 7}));
    }

    void plainClicksKeepPicks_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("left click beside the markers") << int(Qt::LeftButton);
        QTest::newRow("right click beside the markers") << int(Qt::RightButton);
        QTest::newRow("middle click") << int(Qt::MiddleButton);
    }

    // A click that picks nothing takes no pick away: what shows picked is what is excluded.
    void plainClicksKeepPicks()
    {
        QFETCH(int, button);
        auto view = markedView();
        QVERIFY(view);
        rightClick(*view, onDroplet(*view, 8));
        rightClick(*view, onDroplet(*view, 15));
        QTest::mouseClick(view->viewport(), Qt::MouseButton(button), Qt::NoModifier, between(*view));
        QTest::mouseClick(view->viewport(), Qt::MouseButton(button), Qt::NoModifier, onDroplet(*view, 9));
        // A right click on a marker is a pick of its own.
        const QSet<uint> picked = button == Qt::RightButton ? QSet<uint>{8, 9, 15} : QSet<uint>{8, 15};
        QCOMPARE(selectedIds(*view), picked);
        for (uint id : picked)
            QVERIFY(markerOf(*view, id)->isSelected());
        view->excludeSelected();
        QCOMPARE(excludedInDocument(1), picked);
    }

    void exclusion_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("restore declined") << false;
        QTest::newRow("restore accepted") << true;
    }

    // Exclude and include act on the picks; restore on the whole well after the question; the
    // well list's flag follows the well's excluded droplets.
    void exclusion()
    {
        QFETCH(bool, accept);
        auto view = markedView();
        QVERIFY(view);
        QVERIFY(!wellFlag(1));
        rightClick(*view, onDroplet(*view, 2));
        drawPolygon(*view, triangleAround(*view, 20));
        view->excludeSelected();
        QCOMPARE(excludedInDocument(1), (QSet<uint>{2, 20}));
        QVERIFY(wellFlag(1));
        QVERIFY(!wellFlag(2));

        // The page redraws its markers after each change: the crosses show.
        markAll(*view, false);
        QVERIFY(markerOf(*view, 2)->excluded);
        rightClick(*view, onDroplet(*view, 2));
        view->includeSelected();
        QCOMPARE(excludedInDocument(1), QSet<uint>{20});
        QVERIFY(wellFlag(1));

        // Nothing picked: nothing changes.
        markAll(*view, false);
        view->includeSelected();
        QCOMPARE(excludedInDocument(1), QSet<uint>{20});

        QStringList texts;
        ModalAnswerer answerer([&](QWidget *modal) {
            texts.append(modal->metaObject()->className());
            if (accept)
                static_cast<QDialog *>(modal)->accept();
            else
                static_cast<QDialog *>(modal)->reject();
        });
        QCOMPARE(view->restoreWell(), accept);
        QCOMPARE(texts, QStringList{QStringLiteral("DialogMessage")});
        QCOMPARE(excludedInDocument(1), accept ? QSet<uint>() : QSet<uint>{20});
        QCOMPARE(wellFlag(1), !accept);

        // Including the last excluded droplet clears the flag too.
        if (!accept) {
            markAll(*view, true);
            view->includeSelected();
            QVERIFY(excludedInDocument(1).isEmpty());
            QVERIFY(!wellFlag(1));
        }
    }

    void redrawsEndTheDrawing_data()
    {
        QTest::addColumn<int>("redraw"); // 0 marker set, 1 load, 2 brightness, 3 automatic
        QTest::newRow("marker set") << 0;
        QTest::newRow("image loaded") << 1;
        QTest::newRow("brightness") << 2;
        QTest::newRow("automatic") << 3;
    }

    // Every redraw takes the polygon being drawn, the picks and the polygons away; drawing goes
    // on from nothing (the items they held are gone with the scene).
    void redrawsEndTheDrawing()
    {
        QFETCH(int, redraw);
        auto view = markedView();
        QVERIFY(view);
        // A polygon in the scene, one taken out by the pick, one undone, and one being drawn.
        drawPolygon(*view, triangleAround(*view, 0));
        view->selectedDropletIds();
        drawPolygon(*view, triangleAround(*view, 5));
        view->undo();
        vertex(*view, onDroplet(*view, 12));
        ctrlMove(*view, onDroplet(*view, 13));
        QCOMPARE(view->transientItems(), 2);
        ButtonLog log(*view);
        switch (redraw) {
        case 0:
            view->markBy1DThreshold(1, true, false);
            break;
        case 1:
            view->loadImage(2, 1);
            break;
        case 2:
            view->adjustBrightContrast(0, 0.1);
            break;
        default:
            view->autoBrightContrast();
            break;
        }
        QStringList buttons = log.take();
        buttons.removeDuplicates();
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"R0", "U0"}));
        view->fit();
        QCOMPARE(view->recorded(), 0);
        QCOMPARE(view->undoable(), 0);
        QCOMPARE(view->transientItems(), 0);
        QVERIFY(view->polygonsShown().isEmpty());
        view->redo();
        QVERIFY(view->polygonsShown().isEmpty());
        // Drawing afresh: a Ctrl + right press, moves and a release make one new triangle.
        vertex(*view, toView(*view, QPointF(20, 20)));
        ctrlMove(*view, toView(*view, QPointF(60, 20)));
        vertex(*view, toView(*view, QPointF(60, 20)));
        ctrlMove(*view, toView(*view, QPointF(40, 60)));
        releaseCtrl(*view);
        const QList<QGraphicsPolygonItem *> shown = view->polygonsShown();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first()->polygon().size(), 3);
    }
};

LUMARA_TEST_GUI_MAIN(TestPicks)
#include "tst_picks.moc"
