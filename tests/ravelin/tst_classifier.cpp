#include "cutouts.h"
#include "lbpfearture.h"
#include "ml_classifymodel.h"
#include "testmain.h"

#include <QFile>
#include <QTemporaryDir>

#include <opencv2/ml.hpp>

#include <functional>

using LumaraSynth::Volume;

Q_DECLARE_METATYPE(Volume)
Q_DECLARE_METATYPE(cv::Mat)

namespace {

cv::Mat pattern(int rows, int cols, const std::function<int(int, int)> &value)
{
    cv::Mat m(rows, cols, CV_8UC1);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            m.at<uchar>(i, j) = uchar(value(i, j));
    return m;
}

QString dataFile(const char *name)
{
    return QStringLiteral("../data/") + QLatin1String(name);
}

} // namespace

class TestClassifier : public QObject {
    Q_OBJECT
private slots:
    void uniformLabels_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("label");
        // Codes with at most two circular bit changes, ascending: 0 1 2 3 4 6 7 8 ...
        QTest::newRow("0: no change, first label") << 0 << 1;
        QTest::newRow("1") << 1 << 2;
        QTest::newRow("2") << 2 << 3;
        QTest::newRow("3") << 3 << 4;
        QTest::newRow("4") << 4 << 5;
        QTest::newRow("5: four changes") << 5 << 0;
        QTest::newRow("6") << 6 << 6;
        QTest::newRow("7") << 7 << 7;
        QTest::newRow("8") << 8 << 8;
        QTest::newRow("255: last of 58") << 255 << 58;
        QTest::newRow("170: eight changes") << 170 << 0;
    }
    void uniformLabels()
    {
        QFETCH(int, code);
        QFETCH(int, label);
        QCOMPARE(int(LBPFearture::uniformTable()[size_t(code)]), label);
    }

    void uniformTableHas58Labels()
    {
        int labelled = 0, last = 0;
        for (uchar v : LBPFearture::uniformTable()) {
            if (v == 0)
                continue;
            ++labelled;
            QCOMPARE(int(v), last + 1); // ascending in code order
            last = v;
        }
        QCOMPARE(labelled, 58);
    }

    void circularLbp_data()
    {
        QTest::addColumn<cv::Mat>("src");
        QTest::addColumn<QVector<int>>("labels"); // row by row
        // Worked out with a separate single-precision model of the operator (radius 3,
        // 8 neighbours, weights paired as the operator pairs them).
        QTest::newRow("flat: every tie stays unset") << pattern(7, 7, [](int, int) { return 100; }) << QVector<int>{1};
        QTest::newRow("bright centre: code 0")
            << pattern(7, 7, [](int i, int j) { return i == 3 && j == 3 ? 200 : 0; }) << QVector<int>{1};
        QTest::newRow("dark centre: code 255")
            << pattern(7, 7, [](int i, int j) { return i == 3 && j == 3 ? 0 : 100; }) << QVector<int>{58};
        QTest::newRow("gradient to the right: code 7") << pattern(7, 7, [](int, int j) { return 10 * j; })
                                                       << QVector<int>{7};
        // raw codes 0 46 129 / 251 132 253
        QTest::newRow("quadratic 8x9")
            << pattern(8, 9, [](int i, int j) { return (i * i * 7 + j * j * 13 + i * j * 5) % 251; })
            << QVector<int>{1, 0, 31, 54, 0, 56};
    }
    void circularLbp()
    {
        QFETCH(cv::Mat, src);
        QFETCH(QVector<int>, labels);
        LBPFearture lbp(nullptr);
        cv::Mat dst;
        lbp.circularLbp(src, dst, 3, 8);
        QCOMPARE(dst.type(), CV_8UC1);
        QCOMPARE(dst.rows, src.rows - 6);
        QCOMPARE(dst.cols, src.cols - 6);
        QVector<int> got;
        for (int i = 0; i < dst.rows; ++i)
            for (int j = 0; j < dst.cols; ++j)
                got.append(dst.at<uchar>(i, j));
        QCOMPARE(got, labels);
    }

    void circularLbpRefusesBadInput()
    {
        LBPFearture lbp(nullptr);
        cv::Mat dst(3, 3, CV_8UC1, cv::Scalar(9));
        lbp.circularLbp(cv::Mat(6, 6, CV_8UC1, cv::Scalar(1)), dst, 3, 8); // no centre pixel
        QVERIFY(dst.empty());
        lbp.circularLbp(cv::Mat(9, 9, CV_16UC1, cv::Scalar(1)), dst, 3, 8);
        QVERIFY(dst.empty());
        lbp.circularLbp(cv::Mat(9, 9, CV_8UC1, cv::Scalar(1)), dst, 3, 12); // codes beyond 8 bits
        QVERIFY(dst.empty());
    }

    void featureRowLength_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("feature");
        QTest::addColumn<int>("length");
        // HOG: 7 x 7 blocks of 2 x 2 cells of 6 bins; LBP: 26 x 26 codes.
        for (int side : {15, 23, 31, 64}) {
            QTest::addRow("hog %d", side) << side << side << int(ML_ClassifyModel::HogFeature) << 1176;
            QTest::addRow("lbp %d", side) << side << side << int(ML_ClassifyModel::LbpFeature) << 676;
        }
        QTest::newRow("hog not square") << 20 << 50 << int(ML_ClassifyModel::HogFeature) << 1176;
        QTest::newRow("unknown kind") << 23 << 23 << 7 << 0;
    }
    void featureRowLength()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(int, feature);
        QFETCH(int, length);
        cv::Mat roi(rows, cols, CV_8UC1);
        cv::randu(roi, 0, 256);
        const cv::Mat row = ML_ClassifyModel::featureRow(roi, feature);
        QCOMPARE(int(row.total()), length);
        if (length > 0) {
            QCOMPARE(row.rows, 1);
            QCOMPARE(row.type(), CV_32FC1);
        }
    }

    void loadModel_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("committed forest") << dataFile("classify_droplet.xml") << 1;
        QTest::newRow("LBP forest") << LumaraTest::sourcePath("tests/fixtures/classify_droplet_lbp.xml") << 1;
        QTest::newRow("missing file") << QStringLiteral("no/such/model.xml") << 2;
        QTest::newRow("svm") << QStringLiteral("svm") << 0;
        QTest::newRow("file without a model") << QStringLiteral("empty") << 2;
        QTest::newRow("garbage") << QStringLiteral("garbage") << 2;
    }
    void loadModel()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QTemporaryDir dir;
        if (path == QLatin1String("svm")) {
            // A tiny two-class SVM on 1176-value rows.
            cv::Mat x(4, 1176, CV_32F, cv::Scalar(0));
            x.row(2).setTo(1);
            x.row(3).setTo(1);
            cv::Mat y = (cv::Mat_<int>(4, 1) << 0, 0, 1, 1);
            cv::Ptr<cv::ml::SVM> svm = cv::ml::SVM::create();
            svm->setKernel(cv::ml::SVM::LINEAR);
            svm->train(x, cv::ml::ROW_SAMPLE, y);
            path = dir.filePath("svm.xml");
            svm->save(path.toStdString());
        } else if (path == QLatin1String("empty")) {
            // Opens as a storage file but holds nothing a loader can use.
            cv::FileStorage fs(dir.filePath("empty.xml").toStdString(), cv::FileStorage::WRITE);
            fs << "answer" << 42;
            fs.release();
            path = dir.filePath("empty.xml");
        } else if (path == QLatin1String("garbage")) {
            QFile f(dir.filePath("garbage.xml"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<?xml version=\"1.0\"?>\n<opencv_storage><oops");
            f.close();
            path = dir.filePath("garbage.xml");
        }
        ML_ClassifyModel m;
        std::string error = "stale";
        QCOMPARE(m.loadModel(path.toStdString(), ML_ClassifyModel::HogFeature, error), kind);
        QCOMPARE(m.modelKind(), kind);
        QCOMPARE(error.empty(), kind != 2);
        if (kind == 2) {
            // Nothing loaded: every cut-out counts as a droplet.
            cv::Mat roi(23, 23, CV_8UC1, cv::Scalar(0));
            QCOMPARE(m.predict(roi), 1);
        }
    }

    void failedLoadKeepsEarlierModel()
    {
        ML_ClassifyModel m;
        std::string error;
        QCOMPARE(m.loadModel(dataFile("classify_droplet.xml").toStdString(), 0, error), 1);
        QCOMPARE(m.loadModel("no/such/model.xml", 0, error), 2);
        QVERIFY(!error.empty());
        QCOMPARE(m.modelKind(), 1);
    }

    void mismatchedFeatureKindPredictsDroplet()
    {
        // A HOG forest fed LBP rows: OpenCV refuses the row; nothing is confirmed.
        ML_ClassifyModel m;
        std::string error;
        QCOMPARE(m.loadModel(dataFile("classify_droplet.xml").toStdString(), ML_ClassifyModel::LbpFeature, error), 1);
        cv::Mat roi(23, 23, CV_8UC1, cv::Scalar(3));
        QCOMPARE(m.predict(roi), 1);
        QCOMPARE(m.predict(cv::Mat()), 1);
    }

    void heldOutAccuracy_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("feature");
        QTest::addColumn<Volume>("volume");
        for (Volume v : LumaraSynth::allVolumes()) {
            QTest::addRow("hog %s", LumaraSynth::volumeName(v))
                << dataFile("classify_droplet.xml") << int(ML_ClassifyModel::HogFeature) << v;
            QTest::addRow("lbp %s", LumaraSynth::volumeName(v))
                << LumaraTest::sourcePath("tests/fixtures/classify_droplet_lbp.xml") << int(ML_ClassifyModel::LbpFeature)
                << v;
        }
    }
    void heldOutAccuracy()
    {
        QFETCH(QString, model);
        QFETCH(int, feature);
        QFETCH(Volume, volume);
        ML_ClassifyModel m;
        std::string error;
        QVERIFY(m.loadModel(model.toStdString(), feature, error) != ML_ClassifyModel::NoModel);
        // Chips the trainer never saw.
        const std::vector<LumaraSynth::Cutout> cuts = LumaraSynth::makeCutouts(volume, 424242, 40);
        int right[5] = {0}, total[5] = {0}, allRight = 0;
        for (const LumaraSynth::Cutout &c : cuts) {
            const bool ok = m.predict(c.image) == c.label;
            right[int(c.kind)] += ok;
            ++total[int(c.kind)];
            allRight += ok;
        }
        QVERIFY(cuts.size() >= 300);
        for (int k = 0; k < 5; ++k) {
            QVERIFY2(total[k] > 0, "every kind of cut-out is represented");
            QVERIFY2(right[k] >= 0.9 * total[k], qPrintable(QStringLiteral("kind %1: %2 of %3").arg(k).arg(right[k]).arg(total[k])));
        }
        QVERIFY2(allRight >= 0.95 * double(cuts.size()),
                 qPrintable(QStringLiteral("%1 of %2").arg(allRight).arg(cuts.size())));
    }
};

LUMARA_TEST_MAIN(TestClassifier)
#include "tst_classifier.moc"
