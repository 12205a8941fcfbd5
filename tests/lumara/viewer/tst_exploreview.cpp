// The droplet image view as a user meets it: the image fitted to the view, zoom by Ctrl and
// the wheel (never below the fit), plain wheel scrolling, the double click back to the fit,
// zooming onto a region, the zoom and scroll kept across wells, a missing image, brightness and
// contrast, the image actions of the menu, and the cursor and highlight frame.
#include "pages/DropletImage/qcimageprocessmanager.h"
#include "shell/appresources.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/helpdialog.h"
#include "modalanswerer.h"
#include "testmain.h"
#include "viewertest.h"

#include <QClipboard>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTemporaryDir>
#include <QWheelEvent>

using namespace ViewerTest;
using LumaraTest::ModalAnswerer;

namespace {

void wheel(QGraphicsView &view, int delta, Qt::KeyboardModifiers modifiers)
{
    const QPoint at = view.viewport()->rect().center();
    QWheelEvent event(QPointF(at), QPointF(view.viewport()->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &event);
}

double scaleOf(const QGraphicsView &view)
{
    return view.transform().m11();
}

QString messageOf(QWidget *modal)
{
    const auto *quick = modal->findChild<QQuickWidget *>();
    return quick && quick->rootObject() ? quick->rootObject()->property("message").toString() : QString();
}

QRect imageOnScreen(const ExploreView &view)
{
    return view.mapFromScene(view.imageItem()->sceneBoundingRect()).boundingRect();
}

double meanOf(const cv::Mat &image)
{
    return cv::mean(image)[0];
}

} // namespace

class TestExploreView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        QVERIFY(load(standardSeed()));
    }

    void init()
    {
        imageActionMode = 0;
        currentFileBaseName = QStringLiteral("run");
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void fitsTheView_data()
    {
        QTest::addColumn<QSize>("viewport");
        QTest::newRow("wide") << QSize(600, 300);
        QTest::newRow("tall") << QSize(300, 600);
        QTest::newRow("small") << QSize(120, 90);
    }

    // The whole image shows and fills the view on one side.
    void fitsTheView()
    {
        QFETCH(QSize, viewport);
        auto view = shownView(viewport);
        QVERIFY(view);
        view->loadImage(1, 1);
        QVERIFY(view->imageItem());
        QCOMPARE(view->zoomStepCount(), 0);
        const QRect shown = imageOnScreen(*view);
        QVERIFY(shown.width() <= viewport.width() + 1 && shown.height() <= viewport.height() + 1);
        QVERIFY(qAbs(shown.width() - viewport.width()) <= 1 || qAbs(shown.height() - viewport.height()) <= 1);
        QCOMPARE(scaleOf(*view), view->fittedScale());
    }

    void ctrlWheelZoomsNeverBelowTheFit()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        const double fit = view->fittedScale();
        wheel(*view, -120, Qt::ControlModifier);
        QCOMPARE(view->zoomStepCount(), 0);
        QCOMPARE(scaleOf(*view), fit);
        for (int i = 0; i < 45; ++i) // no upper bound
            wheel(*view, 120, Qt::ControlModifier);
        QCOMPARE(view->zoomStepCount(), 45);
        QCOMPARE(scaleOf(*view), fit + 4.5);
        wheel(*view, -120, Qt::ControlModifier);
        QCOMPARE(view->zoomStepCount(), 44);
        // Ctrl with another modifier is no zoom.
        wheel(*view, 120, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(view->zoomStepCount(), 44);
    }

    void plainWheelScrolls()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        for (int i = 0; i < 10; ++i)
            wheel(*view, 120, Qt::ControlModifier);
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(bar->maximum());
        const int before = bar->value();
        wheel(*view, 120, Qt::NoModifier);
        QVERIFY(bar->value() < before);
        QCOMPARE(view->zoomStepCount(), 10);
    }

    void doubleClickGoesBackToTheFit()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        for (int i = 0; i < 7; ++i)
            wheel(*view, 120, Qt::ControlModifier);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QCOMPARE(view->zoomStepCount(), 0);
        QCOMPARE(scaleOf(*view), view->fittedScale());
    }

    void withoutAFileNothingZooms()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        WellListModel::instance()->setModelType(0);
        emit SignalTransfer::getInstance()->updateWellInfo();
        BllTest::DocumentSeed empty;
        QVERIFY(!load(empty));
        wheel(*view, 120, Qt::ControlModifier);
        QCOMPARE(view->zoomStepCount(), 0);
        QVERIFY(load(standardSeed()));
    }

    // A single droplet zooms 30 steps, a small region as far as it still fits; a region
    // reaching beyond the image stops where the scroll bars end instead of shifting for ever.
    void zoomOntoARegion_data()
    {
        QTest::addColumn<QSize>("viewport");
        QTest::addColumn<QRect>("region"); // left x1, right x2, top y1, bottom y2
        QTest::addColumn<int>("steps");    // -1: some, fewer than 30
        const QSize fitted(480, 360);
        const QSize wide(600, 300); // margins left and right of the fitted image
        QTest::newRow("one droplet") << fitted << QRect(QPoint(66, 70), QPoint(66, 70)) << 30;
        QTest::newRow("one droplet outside the image") << fitted << QRect(QPoint(900, 700), QPoint(900, 700)) << 30;
        QTest::newRow("droplets in a corner") << fitted << QRect(QPoint(200, 140), QPoint(230, 170)) << 29;
        QTest::newRow("past the right border") << wide << QRect(QPoint(200, 60), QPoint(260, 90)) << -1;
        QTest::newRow("past the left border") << wide << QRect(QPoint(-20, 60), QPoint(40, 90)) << -1;
    }

    void zoomOntoARegion()
    {
        QFETCH(QSize, viewport);
        QFETCH(QRect, region);
        QFETCH(int, steps);
        struct Zoomer : ExploreView {
            using ExploreView::zoomToRegion;
        };
        auto view = shownView<Zoomer>(viewport);
        QVERIFY(view);
        view->loadImage(1, 1);
        QCOMPARE(view->zoomStepCount(), 0);
        view->zoomToRegion(region.left(), region.right(), region.top(), region.bottom());
        if (steps >= 0)
            QCOMPARE(view->zoomStepCount(), steps);
        else
            QVERIFY(view->zoomStepCount() > 0 && view->zoomStepCount() < 30);
        QCOMPARE(scaleOf(*view), view->fittedScale() + view->zoomStepCount() / 10.0);
        // On each axis the region's centre is in the middle of the view, or the bar at an end.
        const QPointF middle = view->mapToScene(view->viewport()->rect().center());
        const auto settled = [](double from, int to, const QScrollBar *bar) {
            return qAbs(from - to) < 11.5 || bar->value() == bar->minimum() || bar->value() == bar->maximum();
        };
        QVERIFY(settled(middle.x(), (region.left() + region.right()) / 2, view->horizontalScrollBar()));
        QVERIFY(settled(middle.y(), (region.top() + region.bottom()) / 2, view->verticalScrollBar()));
    }

    // Another well, or another channel, keeps the zoom and the scroll position.
    void zoomAndScrollSurviveWellChanges()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        for (int i = 0; i < 12; ++i)
            wheel(*view, 120, Qt::ControlModifier);
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum() / 2);
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum() / 3);
        const int h = view->horizontalScrollBar()->value();
        const int v = view->verticalScrollBar()->value();
        QVERIFY(h > 0 && v > 0);
        move(*view, QPoint(100, 100)); // remembers the position
        view->loadImage(2, 1);
        QCOMPARE(view->zoomStepCount(), 12);
        QCOMPARE(view->horizontalScrollBar()->value(), h);
        QCOMPARE(view->verticalScrollBar()->value(), v);
        view->loadImage(2, 2);
        QCOMPARE(view->horizontalScrollBar()->value(), h);
        QCOMPARE(view->verticalScrollBar()->value(), v);
    }

    // Both image depths show the droplets bright on the dark background.
    void showsBothDepths_data()
    {
        QTest::addColumn<uint>("well");
        QTest::newRow("16-bit") << 1u;
        QTest::newRow("8-bit") << 2u;
    }

    void showsBothDepths()
    {
        QFETCH(uint, well);
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(well, 2);
        const cv::Mat &shown = view->shownImage();
        QCOMPARE(shown.cols, ImageWidth);
        QCOMPARE(shown.rows, ImageHeight);
        // The automatic stretch: background 0, droplets 255.
        QCOMPARE(int(shown.at<uchar>(centreOf(7).y(), centreOf(7).x())), 255);
        QCOMPARE(int(shown.at<uchar>(5, 5)), 0);
        const QImage grabbed = view->viewport()->grab().toImage();
        const QPoint droplet = toView(*view, centreOf(7));
        QCOMPARE(QColor(grabbed.pixel(droplet)), QColor(255, 255, 255));
    }

    void missingImage()
    {
        BllTest::DocumentSeed seed = standardSeed();
        seed.wells[1].channelImages = {dropletImage(false)}; // well 2 has no channel 2 image
        QVERIFY(load(seed));
        auto view = shownView();
        QVERIFY(view);
        QStringList texts;
        ModalAnswerer answerer([&](QWidget *modal) {
            texts.append(messageOf(modal));
            static_cast<QDialog *>(modal)->accept();
        });
        view->loadImage(1, 2);
        QVERIFY(view->imageItem());
        view->loadImage(2, 2);
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("DialogMessage")});
        QCOMPARE(texts, QStringList{QStringLiteral("Can not load droplet image")});
        QVERIFY(!view->imageItem());
        QVERIFY(view->scene()->items().isEmpty());
        // Nothing to adjust or mark.
        view->autoBrightContrast();
        view->adjustBrightContrast(0, 0.1);
        view->resetBrightContrast();
        view->markBy1DThreshold(1, true, false);
        QVERIFY(!view->imageItem());
        QCOMPARE(view->getAdjustType(2), 2);
        QVERIFY(load(standardSeed()));
    }

    void adjustTypeOutsideTheChannels_data()
    {
        QTest::addColumn<uint>("channel");
        QTest::newRow("0") << 0u;
        QTest::newRow("7") << 7u;
    }

    void adjustTypeOutsideTheChannels()
    {
        QFETCH(uint, channel);
        ExploreView view;
        QCOMPARE(view.getAdjustType(channel), 2);
        view.adjustBrightContrast(0, 0.1); // no channel yet: nothing
        QCOMPARE(view.getAdjustType(channel), 2);
    }

    // Each change starts from the unadjusted image and sets the channel's mode; other channels
    // keep theirs.
    void brightnessAndContrast()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 2);
        QCOMPARE(view->getAdjustType(2), 2);
        const double automatic = meanOf(view->shownImage());
        view->adjustBrightContrast(0, 0.1);
        QCOMPARE(view->getAdjustType(2), 1);
        const double brighter = meanOf(view->shownImage());
        QVERIFY(brighter > automatic);
        view->adjustBrightContrast(1, -0.1);
        QVERIFY(meanOf(view->shownImage()) < brighter);
        view->adjustBrightContrast(5, 0.1); // no such kind
        QCOMPARE(view->getAdjustType(2), 1);

        view->resetBrightContrast();
        QCOMPARE(view->getAdjustType(2), 0);
        // The min/max stretch: background 0, droplets 255.
        double min = 0;
        double max = 0;
        cv::minMaxLoc(view->shownImage(), &min, &max);
        QCOMPARE(min, 0.0);
        QCOMPARE(max, 255.0);

        view->loadImage(1, 1);
        QCOMPARE(view->getAdjustType(1), 2);
        view->autoBrightContrast();
        QCOMPARE(view->getAdjustType(1), 2);
        view->loadImage(1, 2);
        QCOMPARE(view->getAdjustType(2), 0);
    }

    // A manual setting is kept when the well changes: the next image shows the same positions.
    void manualSettingFollowsToTheNextWell()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        view->adjustBrightContrast(0, 0.3);
        const cv::Mat first = view->shownImage().clone();
        view->loadImage(2, 1);
        QCOMPARE(view->getAdjustType(1), 1);
        // Same pixels: well 2's 8-bit image equals well 1's 16-bit one after the conversion.
        QCOMPARE(cv::norm(first, view->shownImage(), cv::NORM_INF), 0.0);
    }

    void saveActions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("PNG") << 1 << QStringLiteral("run__Chamber-Cyan.png");
        QTest::newRow("SVG") << 2 << QStringLiteral("run__Chamber-Cyan.svg");
    }

    void saveActions()
    {
        QFETCH(int, mode);
        QFETCH(QString, proposed);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("image.") + proposed.section('.', -1));
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 2);
        QString named;
        ModalAnswerer answerer([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            named = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectFile(target);
            static_cast<QDialog *>(dialog)->accept();
        });
        imageActionMode = mode;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        QCOMPARE(imageActionMode, 0);
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("QFileDialog")});
        QCOMPARE(named, proposed);
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (mode == 1) {
            const QImage saved(target);
            QCOMPARE(saved.size(), view->size());
            QCOMPARE(QColor(saved.pixel(toView(*view, centreOf(7)))), QColor(255, 255, 255));
        } else {
            QVERIFY(file.readAll().contains("<image"));
        }
    }

    void unwritableFileIsReported_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("PNG") << 1;
        QTest::newRow("SVG") << 2;
    }

    void unwritableFileIsReported()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("missing/folder/image.png"));
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        QString message;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                dialog->selectFile(target);
                static_cast<QDialog *>(dialog)->accept();
                return;
            }
            message = messageOf(modal);
            modal->close();
        });
        imageActionMode = mode;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        QCOMPARE(answerer.seen(), (QStringList{QStringLiteral("QFileDialog"), QStringLiteral("DialogMessage")}));
        QCOMPARE(message, QStringLiteral("The image could not be saved."));
    }

    void copyAndHelp()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        QGuiApplication::clipboard()->clear();
        imageActionMode = 3;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        const QImage copied = QGuiApplication::clipboard()->pixmap().toImage();
        QCOMPARE(copied.size(), view->size()); // the view as shown, not the whole image
        QCOMPARE(QColor(copied.pixel(toView(*view, centreOf(3)))), QColor(255, 255, 255));

        QString shown;
        ModalAnswerer answerer([&](QWidget *modal) {
            for (const QLabel *label : modal->findChildren<QLabel *>())
                if (!label->text().isEmpty())
                    shown = label->text();
            modal->close();
        });
        imageActionMode = 4;
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("HelpDialog")});
        QVERIFY(!shown.isEmpty());
        QCOMPARE(shown, getHelpText(QStringLiteral("Explore"), QStringLiteral("ExplorePlot")));
    }

    // Any other press takes the action away without doing it, and does nothing else.
    void otherPressesCancel_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("right") << int(Qt::RightButton);
        QTest::newRow("middle") << int(Qt::MiddleButton);
    }

    void otherPressesCancel()
    {
        QFETCH(int, button);
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        view->markBy1DThreshold(1, true, false);
        ModalAnswerer answerer([](QWidget *modal) { modal->close(); });
        imageActionMode = 1;
        const QPoint onMarker = toView(*view, centreOf(2));
        QTest::mouseClick(view->viewport(), Qt::MouseButton(button), Qt::NoModifier, onMarker);
        QCOMPARE(imageActionMode, 0);
        QVERIFY(answerer.seen().isEmpty());
        QVERIFY(selectedIds(*view).isEmpty()); // the press did not reach the marker
    }

    void cursorAndFrame()
    {
        auto view = shownView();
        QVERIFY(view);
        view->loadImage(1, 1);
        const auto *frame = view->findChild<QFrame *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(frame);
        const QImage help = QImage(QStringLiteral(":/assets/cursor_help.png")).convertToFormat(QImage::Format_ARGB32);
        const QImage save = QImage(QStringLiteral(":/assets/cursor_save.png")).convertToFormat(QImage::Format_ARGB32);
        for (int mode : {1, 2, 3, 4}) {
            imageActionMode = mode;
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(view.get(), &enter);
            QVERIFY(frame->isVisible());
            QCOMPARE(frame->geometry(), view->rect());
            QCOMPARE(QApplication::overrideCursor()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
                     mode == 4 ? help : save);
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(view.get(), &leave);
            QVERIFY(!frame->isVisible());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        }
        imageActionMode = 0;
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(view.get(), &enter);
        QVERIFY(!frame->isVisible());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
        // A press with an action pending takes the frame down.
        imageActionMode = 3;
        QApplication::sendEvent(view.get(), &enter);
        QVERIFY(frame->isVisible());
        QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(30, 30));
        QVERIFY(!frame->isVisible());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    }
};

LUMARA_TEST_GUI_MAIN(TestExploreView)
#include "tst_exploreview.moc"
