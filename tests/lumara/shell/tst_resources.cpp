// The program's resources: every path the program names is there, every picture of the
// maker's table is there at its size, and the program's icon file is next to bin/.
#include "picturetable.h"
#include "shell/appresources.h"
#include "testmain.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

class TestResources : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }

    void namedPathExists_data()
    {
        QTest::addColumn<QString>("path");
        // The paths the program's code and views name. Each page adds its own.
        const char *const paths[] = {
            ":/Others/Icon/start.png",
            ":/Others/font/Roboto-Regular.ttf",
            ":/Others/font/SOURCEHANSANSCN-REGULAR.OTF",
            ":/Others/helpDocument/help.json",
            ":/qml/SingleDialog.qml",
            ":/qml/TwoDialog.qml",
            ":/qml/ThreeDialog.qml",
            ":/qml/ColorSelect.qml",
            ":/assets/help_icon.png",
            ":/assets/warning_icon.png",
            ":/assets/png_icon1.png",
            ":/assets/svg_icon1.png",
            ":/assets/copy_icon1.png",
            ":/assets/exclude_icon_latter.png",
            ":/assets/exclude_icon_former.png",
            ":/assets/exclude_icon1.png",
            ":/assets/compensate_icon.png",
            ":/assets/compensate_diable_icon.png",
            ":/assets/cursor_help.png",
            ":/assets/cursor_save.png",
            ":/TwoDotPlot/qml/Plot2DPropertyDialog.qml",
            ":/TwoDotPlot/qml/Plot2DSpinBox.qml",
            ":/TwoDotPlot/qml/Plot2DButton.qml",
            ":/TwoDotPlot/assets/dialog_bg1.png",
            ":/TwoDotPlot/assets/up_btn.png",
            ":/TwoDotPlot/assets/up_btn_press.png",
            ":/TwoDotPlot/assets/down_btn.png",
            ":/TwoDotPlot/assets/down_btn_press.png",
            ":/TwoDotPlot/assets/cursor_help.png",
            ":/TwoDotPlot/assets/cursor_save.png",
            ":/ViewResult/Concentration/assert/cursor_help.png",
            ":/ViewResult/Concentration/assert/cursor_save.png",
            ":/ViewResult/Uncertainty/assert/cursor_help.png",
            ":/ViewResult/Uncertainty/assert/cursor_save.png",
            ":/Others/qml/BusyStatus.qml",
            ":/qml/TopMenuBar.qml",
            ":/qml/NaviBar.qml",
            ":/qml/RecentOpenFile.qml",
            ":/assets/logo.png",
            ":/assert/aureole4.png",
            ":/ViewResult/ResultTable/qml/ResultTable.qml",
            ":/ViewResult/Concentration/qml/Concentration.qml",
            ":/ViewResult/Uncertainty/qml/Uncertainty.qml",
            ":/ViewResult/ResultTable/assert/Both_check1.png",
            ":/ViewResult/ResultTable/assert/Both_uncheck_1.png",
            ":/ViewResult/ResultTable/assert/Merge_check1.png",
            ":/ViewResult/ResultTable/assert/Merge_uncheck1.png",
            ":/ViewResult/ResultTable/assert/Individual_check1.png",
            ":/ViewResult/ResultTable/assert/Individual_uncheck1.png",
            ":/ViewResult/Concentration/assert/Both_check1.png",
            ":/ViewResult/Concentration/assert/Both_uncheck_1.png",
            ":/ViewResult/Concentration/assert/Merge_check1.png",
            ":/ViewResult/Concentration/assert/Merge_uncheck1.png",
            ":/ViewResult/Concentration/assert/Individual_check1.png",
            ":/ViewResult/Concentration/assert/Individual_uncheck1.png",
            ":/ViewResult/Concentration/assert/tick.png",
            ":/ViewResult/Concentration/assert/tickenable.png",
            ":/ViewResult/Uncertainty/assert/Both_check1.png",
            ":/ViewResult/Uncertainty/assert/Both_uncheck_1.png",
            ":/ViewResult/Uncertainty/assert/Merge_check1.png",
            ":/ViewResult/Uncertainty/assert/Merge_uncheck1.png",
            ":/ViewResult/Uncertainty/assert/Individual_check1.png",
            ":/ViewResult/Uncertainty/assert/Individual_uncheck1.png",
            ":/ViewResult/Uncertainty/assert/tick.png",
            ":/ViewResult/Uncertainty/assert/tickenable.png",
            ":/ViewResult/Uncertainty/assert/legend_1.png",
            ":/ViewResult/Uncertainty/assert/legend_2.png",
            ":/ViewResult/Uncertainty/assert/legend_3.png",
            ":/ViewResult/Uncertainty/assert/legend_4.png",
            ":/EditExperiment/qml/ExperimentEdit.qml",
            ":/Compensation/qml/SpillOverCompensate.qml",
            ":/Compensation/assets/cursor_help.png",
            ":/Compensation/assets/cursor_save.png",
            ":/Compensation/spectrum/emfam.txt",
            ":/Compensation/spectrum/emsybr.txt",
            ":/Compensation/spectrum/emhexvic.txt",
            ":/Compensation/spectrum/emrox.txt",
            ":/Compensation/spectrum/emcy5.txt",
            ":/Compensation/spectrum/emq670.txt",
            ":/Compensation/spectrum/emcy5.5.txt",
            ":/Compensation/spectrum/emq705.txt",
            ":/Compensation/spectrum/emcy3.txt",
        };
        for (const char *path : paths)
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void namedPathExists()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY(file.size() > 0);
    }

    void drawnPicture_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        for (const MkResources::Picture &picture : MkResources::pictures())
            QTest::newRow(picture.path) << QStringLiteral(":/") + QString::fromLatin1(picture.path)
                                        << QSize(picture.width, picture.height);
    }

    // Drawn, not empty, and neither blank nor a single colour.
    void drawnPicture()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), size);
        const QRgb first = image.pixel(0, 0);
        bool varies = false;
        for (int y = 0; y < image.height() && !varies; ++y)
            for (int x = 0; x < image.width() && !varies; ++x)
                varies = image.pixel(x, y) != first;
        QVERIFY(varies);
    }

    void splashIsLargeEnough()
    {
        const QImage splash(QStringLiteral(":/Others/Icon/start.png"));
        QVERIFY(splash.width() >= 400 && splash.height() >= 250);
    }

    void programIconFile()
    {
        QImageReader reader(QStringLiteral(LUMARA_INSTALL_ICO));
        QCOMPARE(reader.format(), QByteArray("ico"));
        const QImage icon = reader.read();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.width() >= 32);
    }
};

LUMARA_TEST_GUI_MAIN(TestResources)
#include "tst_resources.moc"
