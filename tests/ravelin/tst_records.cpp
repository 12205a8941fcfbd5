#include "analysisrecords.h"
#include "analysissettings.h"
#include "testmain.h"

class TestAnalysisRecords : public QObject {
    Q_OBJECT
private slots:
    void freshWellRecord()
    {
        const WellImageAnalysisInfo w;
        QVERIFY(!w.valid);
        QVERIFY(w.channels.isEmpty());
        QVERIFY(w.droplets.isEmpty());
        QCOMPARE(w.channelStates, QVector<quint32>(6, 0));
        QCOMPARE(w.channelLevels, QVector<quint32>(6, 0));
        QCOMPARE(w.thresholds, (QVector<QVector<quint32>>(6, QVector<quint32>{0})));
        QCOMPARE(w.sharpness, 0.0);
        QCOMPARE(w.countSum, 0u);
        QVERIFY(w.message.isEmpty());
    }
    void settingsDefaults()
    {
        const Ravelin::AnalysisSettings s;
        QCOMPARE(s.PreRecogThreshold, 0.7);
        QCOMPARE(s.MeanGreyvalueRadius, 17);
        QCOMPARE(s.GreyValueMaskSize, 23);
        QCOMPARE(s.DrpltGyslAdjustType, 1);
        QCOMPARE(s.StdDevInfluenceCoefficient, 7.0);
        QVERIFY(s.RandomShuffle);
        QCOMPARE(s.RemovedMaxMinNum, 2);
        QCOMPARE(s.MLFeatureType, 0);
    }
};

LUMARA_TEST_MAIN(TestAnalysisRecords)
#include "tst_records.moc"
