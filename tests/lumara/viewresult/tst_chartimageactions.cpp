// The image actions of both result charts as a user meets them: the menu arms an action, the
// pointer enters the chart, a press on the plot carries it out (files written through the
// save dialog, the clipboard, the help text) or cancels it; and the cursor and mask follow.
#include "pages/ViewResult/ztconcentration.h"
#include "pages/ViewResult/ztuncertainly.h"
#include "shell/appresources.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/helpdialog.h"
#include "modalanswerer.h"
#include "plottest.h"
#include "testmain.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSvgRenderer>
#include <functional>
#include <memory>

namespace {

const QColor barColour("#e42520");

using LumaraTest::ModalAnswerer;

// A chart with data on screen, and the widget pixel of something drawn in barColour.
struct Chart {
    std::unique_ptr<QwtBasic> plot;
    QPoint mark;
    QString suffix; // of the proposed file names
    QString helpKey;
};

Chart makeChart(const QString &kind)
{
    Chart chart;
    if (kind == QLatin1String("concentration")) {
        auto *plot = new ZtConcentration;
        chart.plot.reset(plot);
        PlotTest::show(*plot, QSize(700, 500));
        plot->setPlotSize(700, 500);
        plot->setLinearAxis();
        plot->setData({{QStringLiteral("A1"), {ConcentrationPoint{1, 500, 300, 700, barColour.name()}}}},
                      QStringLiteral("A1"));
        plot->replot();
        chart.mark = PlotTest::pixelOf(*plot, 100, 500);
        chart.suffix = QStringLiteral("_concentration");
        chart.helpKey = QStringLiteral("ConcentrationGraphy");
    } else {
        auto *plot = new ZtUncertainly(12);
        chart.plot.reset(plot);
        PlotTest::show(*plot, QSize(700, 500));
        plot->setLinearAxis();
        UncertainlyPlotItem a;
        a.concentration = 300;
        a.uncertaintyAtConcentration = 10;
        a.color = barColour.name();
        UncertainlyPlotItem b = a;
        b.concentration = 900;
        b.uncertaintyAtConcentration = 30;
        plot->setData({a, b});
        plot->setAxisScale(QwtPlot::xBottom, 0, 1000);
        plot->replot();
        chart.mark = PlotTest::pixelOf(*plot, 300, 10);
        chart.suffix = QStringLiteral("_uncertainly");
        chart.helpKey = QStringLiteral("UncertaintyCurves");
    }
    return chart;
}

void enter(QWidget *widget)
{
    QEvent event(QEvent::Enter);
    QApplication::sendEvent(widget, &event);
}

void leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

bool maskShown(const QwtBasic &plot)
{
    const QWidget *mask = plot.findChild<QWidget *>(QStringLiteral("mask"));
    return mask && mask->isVisible();
}

// A press where a user clicks: on the plot's canvas, from which it reaches the plot.
void click(QwtBasic &plot, Qt::MouseButton button)
{
    QTest::mouseClick(plot.canvas(), button, Qt::NoModifier, plot.canvas()->rect().center() + QPoint(0, 40));
}

void addCharts()
{
    QTest::addColumn<QString>("kind");
}

} // namespace

class TestChartImageActions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        currentFileBaseName = QStringLiteral("run42");
    }

    void init()
    {
        imageActionMode = 0;
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }

    void writesAndCopies_data()
    {
        addCharts();
        QTest::addColumn<int>("mode");
        for (const char *kind : {"concentration", "uncertainty"}) {
            QTest::addRow("%s, PNG", kind) << QString::fromLatin1(kind) << 1;
            QTest::addRow("%s, SVG", kind) << QString::fromLatin1(kind) << 2;
            QTest::addRow("%s, clipboard", kind) << QString::fromLatin1(kind) << 3;
        }
    }

    void writesAndCopies()
    {
        QFETCH(QString, kind);
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString extension = mode == 2 ? QStringLiteral("svg") : QStringLiteral("png");
        const QString target = dir.filePath(QStringLiteral("chart.") + extension);
        Chart chart = makeChart(kind);
        QwtBasic &plot = *chart.plot;
        QGuiApplication::clipboard()->clear();

        QString caption;
        QStringList filters;
        QString proposed;
        ModalAnswerer answerer([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            caption = dialog->windowTitle();
            filters = dialog->nameFilters();
            proposed = QFileInfo(dialog->selectedFiles().value(0)).fileName();
            dialog->selectFile(target);
            static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
        });
        imageActionMode = mode;
        enter(&plot);
        QVERIFY(maskShown(plot));
        click(plot, Qt::LeftButton);

        QCOMPARE(imageActionMode, 0);
        QVERIFY(!maskShown(plot));
        QImage image;
        if (mode == 3) {
            QVERIFY(answerer.seen().isEmpty());
            image = QGuiApplication::clipboard()->pixmap().toImage();
        } else {
            QCOMPARE(answerer.seen(), QStringList{QStringLiteral("QFileDialog")});
            QCOMPARE(caption, mode == 1 ? QStringLiteral("Save File") : QStringLiteral("Save SVG File"));
            QCOMPARE(filters, QStringList{mode == 1 ? QStringLiteral("PNG Files(*.png)") : QStringLiteral("SVG Files(*.svg)")});
            QCOMPARE(proposed, QStringLiteral("run42") + chart.suffix + QLatin1Char('.') + extension);
            if (mode == 1) {
                image = QImage(target);
            } else {
                QSvgRenderer svg(target);
                QVERIFY(svg.isValid());
                QCOMPARE(svg.viewBox().size(), plot.size());
                image = QImage(plot.size(), QImage::Format_ARGB32);
                image.fill(Qt::black);
                QPainter painter(&image);
                svg.render(&painter);
            }
        }
        QCOMPARE(image.size(), plot.size());
        QVERIFY(PlotTest::countNear(image, chart.mark, barColour, 1) >= 4);
        // Taken with the highlight mask already down.
        QVERIFY(PlotTest::near(image.pixel(plot.canvas()->geometry().topLeft() + QPoint(20, 20)), Qt::white, 4));
    }

    // Any press consumes the action; only a left press with a chosen file writes anything.
    void cancelled_data()
    {
        addCharts();
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("dialogOpens");
        for (const char *kind : {"concentration", "uncertainty"}) {
            const QString k = QString::fromLatin1(kind);
            QTest::addRow("%s, right press on PNG", kind) << k << 1 << int(Qt::RightButton) << false;
            QTest::addRow("%s, right press on help", kind) << k << 4 << int(Qt::RightButton) << false;
            QTest::addRow("%s, middle press on SVG", kind) << k << 2 << int(Qt::MiddleButton) << false;
            QTest::addRow("%s, Cancel in the PNG dialog", kind) << k << 1 << int(Qt::LeftButton) << true;
            QTest::addRow("%s, Cancel in the SVG dialog", kind) << k << 2 << int(Qt::LeftButton) << true;
        }
    }

    void cancelled()
    {
        QFETCH(QString, kind);
        QFETCH(int, mode);
        QFETCH(int, button);
        QFETCH(bool, dialogOpens);
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        Chart chart = makeChart(kind);
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal))
                dialog->setDirectory(dir.path());
            modal->close();
        });
        imageActionMode = mode;
        enter(chart.plot.get());
        click(*chart.plot, Qt::MouseButton(button));

        QCOMPARE(imageActionMode, 0);
        QVERIFY(!maskShown(*chart.plot));
        QCOMPARE(answerer.seen(), dialogOpens ? QStringList{QStringLiteral("QFileDialog")} : QStringList());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    }

    void unwritableFileIsReported_data()
    {
        addCharts();
        QTest::addColumn<int>("mode");
        for (const char *kind : {"concentration", "uncertainty"}) {
            QTest::addRow("%s, PNG", kind) << QString::fromLatin1(kind) << 1;
            QTest::addRow("%s, SVG", kind) << QString::fromLatin1(kind) << 2;
        }
    }

    void unwritableFileIsReported()
    {
        QFETCH(QString, kind);
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("missing/folder/chart.png"));
        Chart chart = makeChart(kind);
        QString message;
        ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                dialog->selectFile(target);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
            } else if (auto *box = qobject_cast<DialogMessage *>(modal)) {
                const auto *view = box->findChild<QQuickWidget *>();
                message = view && view->rootObject() ? view->rootObject()->property("message").toString() : QString();
                box->accept();
            } else {
                modal->close();
            }
        });
        imageActionMode = mode;
        click(*chart.plot, Qt::LeftButton);
        QCOMPARE(answerer.seen(), (QStringList{QStringLiteral("QFileDialog"), QStringLiteral("DialogMessage")}));
        QCOMPARE(message, QStringLiteral("The image could not be saved."));
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(imageActionMode, 0);
    }

    void help_data()
    {
        addCharts();
        QTest::newRow("concentration") << QStringLiteral("concentration");
        QTest::newRow("uncertainty") << QStringLiteral("uncertainty");
    }

    void help()
    {
        QFETCH(QString, kind);
        Chart chart = makeChart(kind);
        QString shown;
        QSize minimum;
        ModalAnswerer answerer([&](QWidget *modal) {
            for (const QLabel *label : modal->findChildren<QLabel *>())
                if (!label->text().isEmpty())
                    shown = label->text();
            minimum = modal->minimumSize();
            modal->close();
        });
        imageActionMode = 4;
        enter(chart.plot.get());
        click(*chart.plot, Qt::LeftButton);
        QCOMPARE(answerer.seen(), QStringList{QStringLiteral("HelpDialog")});
        const QString expected = getHelpText(QStringLiteral("ViewResult"), chart.helpKey);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(shown, expected);
        QVERIFY(minimum.width() >= 200 && minimum.height() >= 200);
        QCOMPARE(imageActionMode, 0);
    }

    // The cursor says what a press will do, the mask shows only while something is pending,
    // and hovering in and out never piles cursors up.
    void cursorAndMask_data()
    {
        addCharts();
        QTest::addColumn<QString>("folder");
        QTest::newRow("concentration") << QStringLiteral("concentration") << QStringLiteral("Concentration");
        QTest::newRow("uncertainty") << QStringLiteral("uncertainty") << QStringLiteral("Uncertainty");
    }

    void cursorAndMask()
    {
        QFETCH(QString, kind);
        QFETCH(QString, folder);
        Chart chart = makeChart(kind);
        QwtBasic *plot = chart.plot.get();
        const QString pictures = QStringLiteral(":/ViewResult/%1/assert/").arg(folder);
        const QImage help = QImage(pictures + QStringLiteral("cursor_help.png")).convertToFormat(QImage::Format_ARGB32);
        const QImage save = QImage(pictures + QStringLiteral("cursor_save.png")).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!help.isNull() && !save.isNull() && help != save);

        for (int round = 0; round < 3; ++round) {
            imageActionMode = 0;
            enter(plot);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
            QVERIFY(!maskShown(*plot));
            leave(plot);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);

            for (int mode : {1, 2, 3, 4}) {
                imageActionMode = mode;
                enter(plot);
                const QCursor *cursor = QApplication::overrideCursor();
                QCOMPARE(cursor->shape(), Qt::BitmapCursor);
                QCOMPARE(cursor->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), mode == 4 ? help : save);
                QCOMPARE(cursor->hotSpot(), QPoint(help.width() / 2, help.height() / 2));
                QVERIFY(maskShown(*plot));
                QCOMPARE(plot->canvas()->styleSheet(), QStringLiteral("background-color: #F0F8FF"));
                leave(plot);
                QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
                QVERIFY(!maskShown(*plot));
                QCOMPARE(plot->canvas()->styleSheet(), QStringLiteral("background-color: rgb(255,255,255)"));
            }
        }
        // One cursor on the stack, however often the pointer came and went.
        QApplication::restoreOverrideCursor();
        QVERIFY(!QApplication::overrideCursor());
    }
};

LUMARA_TEST_GUI_MAIN(TestChartImageActions)
#include "tst_chartimageactions.moc"
