// Analysed wells, their source experiments and the raw views on their images.
#include "model/analysisexperimentmgr.h"
#include "testmain.h"
#include "thrown.h"

#include <QImage>
#include <cstring>

using namespace LumaraAnalysisData;

namespace {

// An image whose pixel (row r, column c) holds 10 * r + c (16-bit: 1000 + that).
QImage patterned(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(0);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            if (format == QImage::Format_Grayscale16)
                reinterpret_cast<quint16 *>(image.scanLine(r))[c] = quint16(1000 + 10 * r + c);
            else if (format == QImage::Format_Grayscale8)
                image.scanLine(r)[c] = uchar(10 * r + c);
        }
    }
    return image;
}

WellItemInfo wellItem(quint32 id, quint32 expId, quint32 refChan = 1)
{
    WellItemInfo w;
    w.wellId = id;
    w.expId = expId;
    w.refChanId = refChan;
    return w;
}

} // namespace

class TestAnalysisExperimentMgr : public QObject {
    Q_OBJECT
private slots:
    void rawViews_data();
    void rawViews();
    void viewsShareStoredPixels();
    void appendedImagesArePackedToo();
    void removeWell_data();
    void removeWell();
    void missingIdsThrow();
};

void TestAnalysisExperimentMgr::rawViews_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("bytesPerPixel");
    QTest::newRow("8-bit, aligned rows") << 8 << 3 << int(QImage::Format_Grayscale8) << 0 << 1;
    // Qt pads 5-byte rows to 8; the view must still be 5 bytes a row.
    QTest::newRow("8-bit, padded rows") << 5 << 4 << int(QImage::Format_Grayscale8) << 0 << 1;
    QTest::newRow("16-bit, aligned rows") << 4 << 2 << int(QImage::Format_Grayscale16) << 1 << 2;
    QTest::newRow("16-bit, padded rows") << 3 << 3 << int(QImage::Format_Grayscale16) << 1 << 2;
    QTest::newRow("colour image counts as type 0") << 3 << 2 << int(QImage::Format_RGB32) << 0 << 4;
}

void TestAnalysisExperimentMgr::rawViews()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, format);
    QFETCH(int, type);
    QFETCH(int, bytesPerPixel);
    const QImage source = patterned(width, height, QImage::Format(format));

    AnalysisExperimentMgr mgr;
    mgr.appendWellGlobal(wellItem(21, 1, 3));
    // Channel 1 carries the image, channel 2 is null, channels 3..6 are missing.
    WellDrpltImgInfo<QImage> images{21, 3, {source, QImage()}};
    mgr.setWellDrpltImgs({images});

    const WellDrpltImgInfo<DrpltImg> raw = mgr.getWellImgData(21);
    QCOMPARE(raw.wellId, 21u);
    QCOMPARE(raw.refChanId, 3u);
    QCOMPARE(raw.images.size(), 6);
    QCOMPARE(raw.images.at(0).width, width);
    QCOMPARE(raw.images.at(0).height, height);
    QCOMPARE(raw.images.at(0).type, type);
    QVERIFY(raw.images.at(0).data);
    // Rows packed: row r starts at r * width * bytesPerPixel.
    const auto *bytes = static_cast<const uchar *>(raw.images.at(0).data);
    const int rowBytes = width * bytesPerPixel;
    for (int r = 0; r < height; ++r)
        QVERIFY(std::memcmp(bytes + r * rowBytes, source.constScanLine(r), size_t(rowBytes)) == 0);
    for (int k = 1; k < 6; ++k) {
        QCOMPARE(raw.images.at(k).width, 0);
        QCOMPARE(raw.images.at(k).height, 0);
        QCOMPARE(raw.images.at(k).type, 0);
        QVERIFY(!raw.images.at(k).data);
    }
    // The stored image still shows the same pixels.
    QCOMPARE(mgr.getWellImg(21).images.at(0), source);
}

void TestAnalysisExperimentMgr::viewsShareStoredPixels()
{
    AnalysisExperimentMgr mgr;
    mgr.appendWellGlobal(wellItem(1, 1));
    mgr.setWellDrpltImgs({WellDrpltImgInfo<QImage>{1, 1, {patterned(16, 2, QImage::Format_Grayscale8)}}});
    const QImage &stored = mgr.getWellImg(1).images.at(0);
    const uchar *before = stored.constBits();
    QCOMPARE(mgr.getWellImgData(1).images.at(0).data, static_cast<const void *>(before));
    QCOMPARE(stored.constBits(), before); // not detached by the conversion
}

void TestAnalysisExperimentMgr::appendedImagesArePackedToo()
{
    AnalysisExperimentMgr mgr;
    mgr.appendWellGlobal(wellItem(1, 1));
    mgr.appendWellGlobal(wellItem(2, 2));
    mgr.setWellDrpltImgs({WellDrpltImgInfo<QImage>{1, 1, {}}});
    mgr.appendWellDrpltImgsOfExp({WellDrpltImgInfo<QImage>{2, 1, {patterned(7, 3, QImage::Format_Grayscale8)}}});
    const auto *bytes = static_cast<const uchar *>(mgr.getWellImgData(2).images.at(0).data);
    QCOMPARE(int(bytes[2 * 7 + 6]), 26); // row 2, column 6: 10 * 2 + 6
    QVERIFY(!mgr.getWellImgData(1).images.at(0).data); // a well without images
}

void TestAnalysisExperimentMgr::removeWell_data()
{
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QList<quint32>>("wellsLeft");
    QTest::addColumn<QList<quint32>>("experimentsLeft");
    QTest::addColumn<QList<quint32>>("wellsOfExp1");
    // Experiment 1 holds wells 1 and 2, experiment 2 holds well 3; well 4 names experiment 9.
    QTest::newRow("one of two wells") << 1u << true << QList<quint32>{2, 3, 4}
                                      << QList<quint32>{1, 2} << QList<quint32>{2};
    QTest::newRow("last well of its experiment") << 3u << true << QList<quint32>{1, 2, 4}
                                                 << QList<quint32>{1} << QList<quint32>{1, 2};
    QTest::newRow("experiment missing") << 4u << true << QList<quint32>{1, 2, 3}
                                        << QList<quint32>{1, 2} << QList<quint32>{1, 2};
    QTest::newRow("unknown well") << 8u << false << QList<quint32>{1, 2, 3, 4}
                                  << QList<quint32>{1, 2} << QList<quint32>{1, 2};
}

void TestAnalysisExperimentMgr::removeWell()
{
    QFETCH(uint, wellId);
    QFETCH(bool, result);
    QFETCH(QList<quint32>, wellsLeft);
    QFETCH(QList<quint32>, experimentsLeft);
    QFETCH(QList<quint32>, wellsOfExp1);

    AnalysisExperimentMgr mgr;
    AnalysisExpGlobalInfo info;
    info.wells = {wellItem(1, 1), wellItem(2, 1), wellItem(3, 2), wellItem(4, 9)};
    info.experiments = {ExpItemInfo{1, "a.imrs", {1, 2}}, ExpItemInfo{2, "b.imrs", {3}}};
    mgr.setAnalysisExpGlobalInfo(info);
    QList<WellDrpltImgInfo<QImage>> images;
    for (quint32 id = 1; id <= 4; ++id)
        images.append(WellDrpltImgInfo<QImage>{id, 1, {}});
    mgr.setWellDrpltImgs(images);

    QCOMPARE(mgr.removeWell(wellId), result);
    QList<quint32> wells, imageWells, experiments;
    for (const WellItemInfo &w : mgr.getAnalysisExpGlobalInfo().wells)
        wells.append(w.wellId);
    for (const auto &img : mgr.getWellDrpltImgInfos())
        imageWells.append(img.wellId);
    for (const ExpItemInfo &e : mgr.getAnalysisExpGlobalInfo().experiments)
        experiments.append(e.id);
    QCOMPARE(wells, wellsLeft);
    QCOMPARE(imageWells, wellsLeft); // the image list stays parallel
    QCOMPARE(experiments, experimentsLeft);
    QCOMPARE(mgr.getExperiment(1).wellIds, wellsOfExp1);
}

void TestAnalysisExperimentMgr::missingIdsThrow()
{
    AnalysisExperimentMgr mgr;
    mgr.appendWellGlobal(wellItem(5, 1, 2));
    mgr.appendExpFile(ExpItemInfo{1, "a.imrs", {5}});
    const QString text = QStringLiteral("Well id is invalid!");
    QCOMPARE(thrownText([&] { mgr.getWellGlobal(6); }), text);
    QCOMPARE(thrownText([&] { mgr.getExperiment(2); }), text);
    QCOMPARE(thrownText([&] { mgr.getRefChanId(6); }), text);
    // Well 5 is held but has no image record: the image getters treat it as missing.
    QCOMPARE(thrownText([&] { mgr.getWellImg(5); }), text);
    QCOMPARE(thrownText([&] { mgr.getWellImgData(5); }), text);
    QCOMPARE(mgr.getRefChanId(5), 2u);
}

LUMARA_TEST_MAIN(TestAnalysisExperimentMgr)
#include "tst_analysisexperimentmgr.moc"
