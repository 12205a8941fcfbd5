// The dye spectrum plot: every built-in spectrum as the plot reads it, the reader on broken
// files, and which curves an experiment's dyes show.
#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "pages/Compensation/dyeemissionplot.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "testmain.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace LumaraAnalysisData;

class TestSpectrogram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        BLLInstance::createSingletons();
        QVERIFY(m_dir.isValid());
    }

    // The dyes' ranges, steps and peaks, as the plot's resources must have them.
    void builtInSpectrum_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("last");
        QTest::addColumn<double>("step");
        QTest::addColumn<double>("peak");
        QTest::newRow("FAM") << "emfam" << 480.0 << 674.0 << 1.0 << 518.0;
        QTest::newRow("EvaGreen") << "emsybr" << 480.0 << 674.0 << 1.0 << 522.0;
        QTest::newRow("HEX and VIC") << "emhexvic" << 530.0 << 674.0 << 1.0 << 559.0;
        QTest::newRow("ROX") << "emrox" << 565.0 << 749.0 << 1.0 << 604.0;
        QTest::newRow("CY5") << "emcy5" << 635.0 << 750.0 << 1.0 << 671.0;
        QTest::newRow("Q670") << "emq670" << 630.5 << 750.0 << 0.5 << 666.0;
        QTest::newRow("CY5.5") << "emcy5.5" << 655.0 << 830.0 << 1.0 << 696.0;
        QTest::newRow("Quasar705") << "emq705" << 652.0 << 850.0 << 1.0 << 706.0;
        QTest::newRow("CY3") << "emcy3" << 540.0 << 690.0 << 1.0 << 568.0;
    }

    void builtInSpectrum()
    {
        QFETCH(QString, name);
        QFETCH(double, first);
        QFETCH(double, last);
        QFETCH(double, step);
        QFETCH(double, peak);
        const QString path = QStringLiteral(":/Compensation/spectrum/%1.txt").arg(name);

        const QVector<QPointF> points = Spectrogram::readSpectrum(path);
        QCOMPARE(points.size(), qRound((last - first) / step) + 1);
        QCOMPARE(points.first().x(), first);
        QCOMPARE(points.last().x(), last);
        double top = 0.0;
        double topAt = 0.0;
        for (int i = 0; i < points.size(); ++i) {
            if (i > 0)
                QVERIFY2(points.at(i).x() > points.at(i - 1).x(), qPrintable(QString::number(points.at(i).x())));
            QVERIFY(points.at(i).y() >= 0.0);
            if (points.at(i).y() > top) {
                top = points.at(i).y();
                topAt = points.at(i).x();
            }
        }
        QCOMPARE(top, 100.0);
        QCOMPARE(topAt, peak);
        // The emission has a longer tail towards red: more of it lies above the peak.
        double below = 0.0;
        double above = 0.0;
        for (const QPointF &p : points)
            (p.x() < peak ? below : above) += p.y();
        QVERIFY(above > below);

        // The file itself: one "wavelength<TAB>intensity" a line, CR LF after each, none empty.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.endsWith("\r\n"));
        const QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
        QCOMPARE(lines.size(), points.size());
        const QRegularExpression format(QStringLiteral("^\\d+\\.\\d{2}\\t[01]\\.\\d{6}\\r$"));
        for (const QByteArray &line : lines)
            QVERIFY2(format.match(QString::fromLatin1(line)).hasMatch(), line.constData());
        QVERIFY(text.contains(QStringLiteral("%1\t1.000000\r\n").arg(peak, 0, 'f', 2).toLatin1()));
    }

    // Lines that do not give two numbers are left out, instead of a point at the origin.
    void brokenLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::newRow("blank last line") << QByteArray("500.00\t0.500000\r\n501.00\t1.000000\r\n\r\n")
                                         << QVector<QPointF>{{500, 50}, {501, 100}};
        QTest::newRow("blank line amid") << QByteArray("500.00\t0.25\n\n502.00\t0.5\n")
                                         << QVector<QPointF>{{500, 25}, {502, 50}};
        QTest::newRow("one number only") << QByteArray("500.00\r\n501.00\t0.1\r\n") << QVector<QPointF>{{501, 10}};
        QTest::newRow("words") << QByteArray("nm\tintensity\r\n510\t0.2\r\n") << QVector<QPointF>{{510, 20}};
        QTest::newRow("last part counts") << QByteArray("520\tx\t0.3\r\n") << QVector<QPointF>{{520, 30}};
        QTest::newRow("no end of line") << QByteArray("530\t0.4") << QVector<QPointF>{{530, 40}};
    }

    void brokenLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QVector<QPointF>, points);
        const QString path = m_dir.filePath(QStringLiteral("%1.txt").arg(QTest::currentDataTag()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QCOMPARE(Spectrogram::readSpectrum(path), points);
    }

    void missingFile()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot open file .*nothing\\.txt")));
        QVERIFY(Spectrogram::readSpectrum(m_dir.filePath(QStringLiteral("nothing.txt"))).isEmpty());
    }

    // The curves follow the dye names of the experiment's target channels exactly.
    void curvesOfTheDyes_data()
    {
        QTest::addColumn<QStringList>("dyes"); // of channels 1, 2, ...
        QTest::addColumn<QStringList>("curves");
        QTest::newRow("FAM, VIC, ROX") << QStringList{"FAM", "VIC", "ROX"} << QStringList{"FAM", "HEX", "ROX"};
        QTest::newRow("lower case") << QStringList{"fam"} << QStringList{};
        QTest::newRow("both green dyes") << QStringList{"FAM", "EvaGreen"} << QStringList{"FAM", "EvaGreen"};
        QTest::newRow("HEX and VIC: one curve") << QStringList{"VIC", "HEX"} << QStringList{"HEX"};
        QTest::newRow("reds") << QStringList{"CY5", "Q670", "CY5.5", "Quasar705", "CY3"}
                              << QStringList{"CY5", "Q670", "CY5.5", "Quasar705", "CY3"};
        QTest::newRow("unknown dye") << QStringList{"Atto 425", "CY5"} << QStringList{"CY5"};
    }

    void curvesOfTheDyes()
    {
        QFETCH(QStringList, dyes);
        QFETCH(QStringList, curves);
        BllTest::DocumentSeed seed;
        QList<uint> channels;
        for (int i = 0; i < dyes.size(); ++i) {
            seed.targets[i] = TargetInfo();
            seed.targets[i].name = QStringLiteral("Target %1").arg(i + 1);
            seed.targets[i].fluorophore = dyes.at(i);
            channels.append(uint(i) + 1);
        }
        seed.wells.append(BllTest::well(1, QStringLiteral("A1"), channels));
        QString error;
        QVERIFY2(BllTest::seedDocument(seed, nullptr, &error), qPrintable(error));

        Spectrogram plot;
        QVERIFY(plot.shownCurves().isEmpty()); // nothing before the wells are announced
        emit SignalTransfer::getInstance()->updateWellComplete();
        QStringList shown = plot.shownCurves();
        shown.sort();
        curves.sort();
        QCOMPARE(shown, curves);
    }

private:
    QTemporaryDir m_dir;
};

LUMARA_TEST_GUI_MAIN(TestSpectrogram)
#include "tst_dyeemissionplot.moc"
