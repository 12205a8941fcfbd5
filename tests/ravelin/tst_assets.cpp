#include "testmain.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QJsonObject>
#include <QSettings>
#include <QStringList>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cmath>

namespace {

QString data(const QString &relative)
{
    return QStringLiteral("../data/") + relative;
}

cv::Mat readImage(const QString &relative, int flags)
{
    return cv::imread(data(relative).toStdString(), flags);
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT
private slots:
    void kernels_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("side");
        // Share of the centre weight the kernel passes of a flat field: both must keep the
        // centre of a droplet wider than their hat lit.
        QTest::addColumn<double>("flatShare");
        QTest::newRow("11") << "template/Kernel_11.tif" << 11 << 0.4;
        QTest::newRow("15") << "template/Kernel_15.tif" << 15 << 0.4;
    }
    void kernels()
    {
        QFETCH(QString, file);
        QFETCH(int, side);
        QFETCH(double, flatShare);
        const cv::Mat k = readImage(file, cv::IMREAD_UNCHANGED);
        QCOMPARE(k.type(), CV_32FC1);
        QCOMPARE(k.rows, side);
        QCOMPARE(k.cols, side);
        double lo = 0, hi = 0;
        cv::Point at;
        cv::minMaxLoc(k, &lo, &hi, &at);
        // Stored negated: the centre is the most negative value; the sum is what a flat field
        // passes, negated.
        QCOMPARE(at, cv::Point(side / 2, side / 2));
        QVERIFY(lo < 0 && hi > 0);
        QVERIFY(std::abs(cv::sum(k)[0] + flatShare * 24.0) < 1e-4 * std::abs(lo));
        cv::Mat t;
        cv::transpose(k, t);
        QCOMPARE(cv::norm(k, t, cv::NORM_INF), 0.0);
    }

    void templates_data()
    {
        QTest::addColumn<QString>("volume");
        for (const char *v : {"300pl", "600pl", "800pl", "3000pl"})
            QTest::newRow(v) << QString::fromLatin1(v);
    }
    void templates()
    {
        QFETCH(QString, volume);
        const cv::Mat raw = readImage(QStringLiteral("template/modelTemp%1.tif").arg(volume), cv::IMREAD_UNCHANGED);
        QCOMPARE(raw.type(), CV_8UC1);
        QCOMPARE(raw.rows, raw.cols);
        QCOMPARE(raw.rows % 2, 1);
        // An averaged droplet, not a blank square.
        double lo = 0, hi = 0;
        cv::minMaxLoc(raw, &lo, &hi);
        QVERIFY(hi - lo > 100);

        // Its parameter file, written as Qt writes JSON, with every key of the settings.
        QFile f(data(QStringLiteral("%1_analysisparams.json").arg(volume)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QJsonParseError err;
        const QJsonDocument doc = QJsonDocument::fromJson(bytes, &err);
        QCOMPARE(err.error, QJsonParseError::NoError);
        QCOMPARE(doc.toJson(QJsonDocument::Indented), bytes);
        const QJsonObject g = doc.object().value(QStringLiteral("General")).toObject();
        QStringList keys = {"PreRecogThreshold", "MeanGreyvalueRadius", "DiscreteRectLength",
                            "DiscreteCountThreshold", "StandardDeviationThld", "SaveResultThld", "RandomShuffle",
                            "BrightestNumber", "BrightestSimilarity", "GreyValueMaskSize",
                            "BackgroundUniformAdjustType", "DrpltGyslAdjustType", "ChannelUsed4DrpltGyslAdjust",
                            "CrosstalkAdjustType", "RecogExcludeStddevNum", "StdDevInfluenceCoefficient",
                            "DispersionCorrection", "SaturatedPixelNum", "RemovedMaxMinNum", "MedianFilter",
                            "MLFeatureType"};
        QCOMPARE(g.size(), 21);
        for (const QString &key : qAsConst(keys)) {
            QVERIFY2(g.contains(key), qPrintable(key));
            if (key == QLatin1String("RandomShuffle")) {
                QVERIFY(g.value(key).isBool());
            } else {
                QVERIFY(g.value(key).isDouble());
            }
        }
        // The mark must hold a whole droplet: not narrower than the template, and the disk
        // of the grey measure inside it.
        QVERIFY(g.value("GreyValueMaskSize").toInt() >= raw.rows);
        QVERIFY(g.value("MeanGreyvalueRadius").toInt() < g.value("GreyValueMaskSize").toInt());
    }

    // The asset tool is the one source of the committed templates, kernels and parameter
    // files: what it writes now must be what the data folder holds.
    void committedAssetsAreTheToolsOutput()
    {
        QTemporaryDir out;
        QVERIFY(out.isValid());
        QProcess tool;
        tool.start(QStringLiteral("./mkassets"), {out.path()});
        QVERIFY2(tool.waitForFinished(120000), qPrintable(tool.errorString()));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 0);
        QStringList files = {"analysisparams.json", "QcParams.ini", "template/Kernel_11.tif", "template/Kernel_15.tif"};
        for (const char *v : {"300pl", "600pl", "800pl", "3000pl"}) {
            files << QStringLiteral("%1_analysisparams.json").arg(QLatin1String(v))
                  << QStringLiteral("template/modelTemp%1.tif").arg(QLatin1String(v));
        }
        for (const QString &file : qAsConst(files)) {
            QFile made(out.filePath(file)), committed(data(file));
            QVERIFY2(made.open(QIODevice::ReadOnly), qPrintable(file));
            QVERIFY2(committed.open(QIODevice::ReadOnly), qPrintable(file));
            QVERIFY2(made.readAll() == committed.readAll(), qPrintable(file + " differs from the tool's output"));
        }
    }

    void defaultParametersAreTheDefaultVolume()
    {
        QFile a(data("analysisparams.json")), b(data("800pl_analysisparams.json"));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }

    void qcLimits()
    {
        QVERIFY(QFile::exists(data("QcParams.ini")));
        QSettings ini(data("QcParams.ini"), QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        QCOMPARE(ini.allKeys().size(), 8);
        QCOMPARE(ini.value("Thresholds/ImageSharpness").toDouble(), 1500.0);
        QCOMPARE(ini.value("Thresholds/NbAnalyzableDroplets").toDouble(), 0.85);
        QCOMPARE(ini.value("Thresholds/NbStaturatedObjects").toUInt(), 10u);
        QCOMPARE(ini.value("Thresholds/RFuCv").toDouble(), 0.1);
        QCOMPARE(ini.value("Thresholds/Rs").toDouble(), 0.5);
        QCOMPARE(ini.value("Thresholds/Rain").toDouble(), 0.5);
        QCOMPARE(ini.value("CalRange/RainRangeStddevNum").toUInt(), 3u);
        QCOMPARE(ini.value("CalRange/RecogExcludeStddevNum").toUInt(), 3u);
    }

    void flatField()
    {
        const cv::Mat u = readImage("uninform/uniformImage.tif", cv::IMREAD_UNCHANGED);
        QCOMPARE(u.type(), CV_32FC1);
        QCOMPARE(u.cols, 1024);
        QCOMPARE(u.rows, 1024);
        double lo = 0, hi = 0;
        cv::minMaxLoc(u, &lo, &hi);
        QCOMPARE(lo, 1.0);
        QCOMPARE(hi, 1.0);
    }
};

LUMARA_TEST_MAIN(TestAssets)
#include "tst_assets.moc"
