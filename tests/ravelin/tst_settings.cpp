// Analysis parameters: the JSON buffer and file forms, partial and malformed documents, errors.
#include "settings.h"
#include "settingsfileparser.h"
#include "testmain.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTemporaryDir>

namespace {

// The defaults, keys in ascending order as the JSON object keeps them, compact.
const char kFreshBuffer[] =
    "{\"General\":{\"BackgroundUniformAdjustType\":0,\"BrightestNumber\":40,\"BrightestSimilarity\":0.2,"
    "\"ChannelUsed4DrpltGyslAdjust\":3,\"CrosstalkAdjustType\":0,\"DiscreteCountThreshold\":13,"
    "\"DiscreteRectLength\":100,\"DispersionCorrection\":0,\"DrpltGyslAdjustType\":1,\"GreyValueMaskSize\":23,"
    "\"MLFeatureType\":0,\"MeanGreyvalueRadius\":17,\"MedianFilter\":0,\"PreRecogThreshold\":0.7,"
    "\"RandomShuffle\":true,\"RecogExcludeStddevNum\":3,\"RemovedMaxMinNum\":2,\"SaturatedPixelNum\":1,"
    "\"SaveResultThld\":1,\"StandardDeviationThld\":3,\"StdDevInfluenceCoefficient\":7}}";

// Every field away from its default.
Ravelin::AnalysisSettings unusualSettings()
{
    Ravelin::AnalysisSettings s;
    s.PreRecogThreshold = 0.55;
    s.MeanGreyvalueRadius = 9;
    s.DiscreteRectLength = 120;
    s.DiscreteCountThreshold = 4;
    s.StandardDeviationThld = 9;
    s.SaveResultThld = 0.125;
    s.RandomShuffle = false;
    s.BrightestNumber = 77;
    s.BrightestSimilarity = 1e-9;
    s.GreyValueMaskSize = 31;
    s.BackgroundUniformAdjustType = 2;
    s.DrpltGyslAdjustType = 0;
    s.ChannelUsed4DrpltGyslAdjust = 5;
    s.CrosstalkAdjustType = 1;
    s.RecogExcludeStddevNum = 4;
    s.StdDevInfluenceCoefficient = 6.25;
    s.DispersionCorrection = 1;
    s.SaturatedPixelNum = 3;
    s.RemovedMaxMinNum = 5;
    s.MedianFilter = 1;
    s.MLFeatureType = 1;
    return s;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList generalKeys(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object().value(QStringLiteral("General")).toObject().keys();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void freshBuffer();
    void bufferRoundTrip();
    void partialDocument_data();
    void partialDocument();
    void parseError_data();
    void parseError();
    void extremeValues_data();
    void extremeValues();
    void truncatedBuffersNeverCrash();
    void fileExport_data();
    void fileExport();
    void fileRoundTrip();
    void errorTextsStay();
    void failedWriteIsReported();
    void parserCopiesKeyPresence();

private:
    QTemporaryDir m_dir;
};

void TestSettings::freshBuffer()
{
    Ravelin::Settings s;
    QCOMPARE(s.getAnalysisSettingsBuf(), QByteArray(kFreshBuffer));
    QVERIFY(s.getError().isEmpty());
}

void TestSettings::bufferRoundTrip()
{
    Ravelin::Settings a;
    a.setAnalysisSettings(unusualSettings());
    const QByteArray buf = a.getAnalysisSettingsBuf();
    QCOMPARE(generalKeys(buf).size(), 21);
    QVERIFY(!buf.contains(' ') && !buf.contains('\n'));

    Ravelin::Settings b;
    QVERIFY(b.loadAnalysisSettingsBuf(buf));
    const Ravelin::AnalysisSettings r = b.getAnalysisSettings();
    QCOMPARE(r.PreRecogThreshold, 0.55);
    QCOMPARE(r.SaveResultThld, 0.125);
    QCOMPARE(r.BrightestSimilarity, 1e-9);
    QCOMPARE(r.StdDevInfluenceCoefficient, 6.25);
    QCOMPARE(r.StandardDeviationThld, 9);
    QCOMPARE(r.RandomShuffle, false);
    QCOMPARE(r.ChannelUsed4DrpltGyslAdjust, 5);
    QCOMPARE(r.MLFeatureType, 1);
    QCOMPARE(b.getAnalysisSettingsBuf(), buf);
}

// Each document is loaded into a default object; the expected buffer is the fresh one with
// one member text replaced (from -> to), or unchanged when from is empty.
void TestSettings::partialDocument_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");

    QTest::newRow("one key") << QByteArray(R"({"General":{"PreRecogThreshold":0.8}})")
                             << QByteArray(R"("PreRecogThreshold":0.7)") << QByteArray(R"("PreRecogThreshold":0.8)");
    QTest::newRow("optional key") << QByteArray(R"({"General":{"MLFeatureType":1,"MedianFilter":0}})")
                                  << QByteArray(R"("MLFeatureType":0)") << QByteArray(R"("MLFeatureType":1)");
    QTest::newRow("top-level array") << QByteArray(R"([{"General":{"MeanGreyvalueRadius":5}}])") << QByteArray()
                                     << QByteArray();
    QTest::newRow("empty object") << QByteArray("{}") << QByteArray() << QByteArray();
    QTest::newRow("General not an object") << QByteArray(R"({"General":[1,2]})") << QByteArray() << QByteArray();
    QTest::newRow("key case matters") << QByteArray(R"({"General":{"prerecogthreshold":0.1}})") << QByteArray()
                                      << QByteArray();
    QTest::newRow("int given a fraction") << QByteArray(R"({"General":{"MeanGreyvalueRadius":17.5}})")
                                          << QByteArray(R"("MeanGreyvalueRadius":17)")
                                          << QByteArray(R"("MeanGreyvalueRadius":0)");
    QTest::newRow("int given a whole double") << QByteArray(R"({"General":{"DiscreteRectLength":120.0}})")
                                              << QByteArray(R"("DiscreteRectLength":100)")
                                              << QByteArray(R"("DiscreteRectLength":120)");

    // 2^31 does not fit an int32: out of range, the default stays.
    QTest::newRow("int too large") << QByteArray(R"({"General":{"BrightestNumber":2147483648}})") << QByteArray()
                                   << QByteArray();
    QTest::newRow("int as text") << QByteArray(R"({"General":{"BrightestNumber":"41"}})")
                                 << QByteArray(R"("BrightestNumber":40)") << QByteArray(R"("BrightestNumber":0)");
    QTest::newRow("bool given 1") << QByteArray(R"({"General":{"RandomShuffle":1}})")
                                  << QByteArray(R"("RandomShuffle":true)") << QByteArray(R"("RandomShuffle":false)");
    QTest::newRow("bool given false") << QByteArray(R"({"General":{"RandomShuffle":false}})")
                                      << QByteArray(R"("RandomShuffle":true)") << QByteArray(R"("RandomShuffle":false)");
    QTest::newRow("double as text") << QByteArray(R"({"General":{"PreRecogThreshold":"0.9"}})")
                                    << QByteArray(R"("PreRecogThreshold":0.7)") << QByteArray(R"("PreRecogThreshold":0)");
    QTest::newRow("double given null") << QByteArray(R"({"General":{"SaveResultThld":null}})")
                                       << QByteArray(R"("SaveResultThld":1)") << QByteArray(R"("SaveResultThld":0)");
    QTest::newRow("double given an int") << QByteArray(R"({"General":{"StdDevInfluenceCoefficient":9}})")
                                         << QByteArray(R"("StdDevInfluenceCoefficient":7)")
                                         << QByteArray(R"("StdDevInfluenceCoefficient":9)");
    QTest::newRow("spread over lines") << QByteArray("{\r\n \"General\" :\t{ \"SaturatedPixelNum\" : 4 }\n}\n")
                                       << QByteArray(R"("SaturatedPixelNum":1)") << QByteArray(R"("SaturatedPixelNum":4)");
}

void TestSettings::partialDocument()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    Ravelin::Settings s;
    QVERIFY(s.loadAnalysisSettingsBuf(json));
    QByteArray expected(kFreshBuffer);
    if (!from.isEmpty()) {
        QVERIFY(expected.contains(from));
        expected.replace(from, to);
    }
    QCOMPARE(s.getAnalysisSettingsBuf(), expected);
    QVERIFY(s.getError().isEmpty());
}

// Every numeric parameter at the extremes a damaged or hostile file may hold. Values outside the
// parameter's range are logged and never used: the field keeps its default.
void TestSettings::extremeValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("kept"); // false: the default stays, with a warning
    const QStringList keys = generalKeys(kFreshBuffer);
    // Where 0 stands for something the analysis handles; everywhere else it is out of range.
    const QStringList zeroIsValid = {"PreRecogThreshold", "MeanGreyvalueRadius", "DiscreteCountThreshold",
        "StandardDeviationThld", "SaveResultThld", "BrightestNumber", "BrightestSimilarity",
        "BackgroundUniformAdjustType", "DrpltGyslAdjustType", "ChannelUsed4DrpltGyslAdjust", "CrosstalkAdjustType",
        "RecogExcludeStddevNum", "StdDevInfluenceCoefficient", "DispersionCorrection", "SaturatedPixelNum",
        "RemovedMaxMinNum", "MedianFilter", "MLFeatureType"};
    for (const QString &key : keys) {
        if (key == QLatin1String("RandomShuffle"))
            continue;
        for (const char *value : {"-2147483648", "-1", "0", "2147483647", "1e308", "-1e308"}) {
            const bool kept = QByteArray(value) == "0" && zeroIsValid.contains(key);
            QTest::addRow("%s %s", qPrintable(key), value) << key << QByteArray(value) << kept;
        }
    }
}

void TestSettings::extremeValues()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, value);
    QFETCH(bool, kept);
    const QByteArray json = "{\"General\":{\"" + key.toUtf8() + "\":" + value + "}}";
    Ravelin::Settings s;
    if (!kept)
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Analysis parameter %1 = .* is outside").arg(key)));
    QVERIFY(s.loadAnalysisSettingsBuf(json));
    const QJsonObject general =
        QJsonDocument::fromJson(s.getAnalysisSettingsBuf()).object().value(QStringLiteral("General")).toObject();
    const QJsonObject fresh =
        QJsonDocument::fromJson(QByteArray(kFreshBuffer)).object().value(QStringLiteral("General")).toObject();
    for (const QString &other : general.keys()) {
        if (other == key && kept)
            QCOMPARE(general.value(other).toDouble(), 0.0);
        else
            QCOMPARE(general.value(other), fresh.value(other));
    }

    // Not a number JSON knows: the whole file is refused and nothing changes.
    Ravelin::Settings t;
    QVERIFY(!t.loadAnalysisSettingsBuf("{\"General\":{\"" + key.toUtf8() + "\":NaN}}"));
    QCOMPARE(t.getAnalysisSettingsBuf(), QByteArray(kFreshBuffer));
}

void TestSettings::parseError_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("code");
    QTest::newRow("lone brace") << QByteArray("{") << int(QJsonParseError::UnterminatedObject);
    QTest::newRow("empty") << QByteArray() << int(QJsonParseError::IllegalValue);
    QTest::newRow("missing colon") << QByteArray(R"({"General" {}})") << int(QJsonParseError::MissingNameSeparator);
    QTest::newRow("number runs to the end") << QByteArray("[1,2") << int(QJsonParseError::TerminationByNumber);
    QTest::newRow("missing comma in array") << QByteArray(R"(["a" 1])") << int(QJsonParseError::MissingValueSeparator);
    QTest::newRow("missing comma in object") << QByteArray(R"({"a":1 "b":2})") << int(QJsonParseError::UnterminatedObject);
    QTest::newRow("bad number") << QByteArray(R"({"General":{"MedianFilter":-}})") << int(QJsonParseError::IllegalNumber);
    QTest::newRow("bad literal") << QByteArray(R"({"General":{"RandomShuffle":tru}})") << int(QJsonParseError::IllegalValue);
    QTest::newRow("open string") << QByteArray(R"({"General)") << int(QJsonParseError::UnterminatedString);
    QTest::newRow("garbage after") << QByteArray("{} x") << int(QJsonParseError::GarbageAtEnd);
    QTest::newRow("bare number") << QByteArray("17") << int(QJsonParseError::IllegalValue);
}

void TestSettings::parseError()
{
    QFETCH(QByteArray, json);
    QFETCH(int, code);
    Ravelin::Settings s;
    // The optional keys were present before; a failed read must not forget that.
    const QString path = m_dir.filePath(QStringLiteral("all21.json"));
    QVERIFY(writeAll(path, kFreshBuffer));
    QVERIFY(s.loadAnalysisSettingsFile(path));
    Ravelin::AnalysisSettings changed;
    changed.MeanGreyvalueRadius = 21;
    s.setAnalysisSettings(changed);
    const QByteArray before = s.getAnalysisSettingsBuf();

    QVERIFY(!s.loadAnalysisSettingsBuf(json));
    QCOMPARE(s.getError(), QStringLiteral("QJsonParseError:%1").arg(code));
    QCOMPARE(s.getAnalysisSettingsBuf(), before);

    const QString out = m_dir.filePath(QStringLiteral("after-error.json"));
    QVERIFY(s.exportAnalysisSettingsFile(out));
    QCOMPARE(generalKeys(readAll(out)).size(), 21);
}

void TestSettings::truncatedBuffersNeverCrash()
{
    const QByteArray full = kFreshBuffer;
    for (int len = 0; len < full.size(); ++len) {
        Ravelin::Settings s;
        const bool ok = s.loadAnalysisSettingsBuf(full.left(len));
        // Every prefix misses at least the closing brace.
        QVERIFY2(!ok, qPrintable(QString::number(len)));
        QVERIFY(s.getError().startsWith(QLatin1String("QJsonParseError:")));
        QCOMPARE(s.getAnalysisSettingsBuf(), full);
    }
    // Bytes that are not text at all.
    QByteArray noise;
    for (int i = 0; i < 512; ++i)
        noise.append(char((i * 131 + 7) & 0xff));
    Ravelin::Settings s;
    QVERIFY(!s.loadAnalysisSettingsBuf(noise));
    QCOMPARE(s.getAnalysisSettingsBuf(), full);
}

void TestSettings::fileExport_data()
{
    QTest::addColumn<QByteArray>("loaded"); // empty: nothing loaded
    QTest::addColumn<int>("keys");
    QTest::addColumn<QStringList>("optional");

    QTest::newRow("fresh") << QByteArray() << 18 << QStringList();
    QTest::newRow("all 21 loaded") << QByteArray(kFreshBuffer) << 21
                                   << QStringList{"MLFeatureType", "MedianFilter", "RemovedMaxMinNum"};
    QTest::newRow("one optional loaded") << QByteArray(R"({"General":{"MedianFilter":1}})") << 19
                                         << QStringList{"MedianFilter"};
    QTest::newRow("none loaded") << QByteArray(R"({"General":{"PreRecogThreshold":0.5}})") << 18 << QStringList();
}

void TestSettings::fileExport()
{
    QFETCH(QByteArray, loaded);
    QFETCH(int, keys);
    QFETCH(QStringList, optional);

    Ravelin::Settings s;
    if (!loaded.isEmpty())
        QVERIFY(s.loadAnalysisSettingsBuf(loaded));
    const QString path = m_dir.filePath(QStringLiteral("export.json"));
    QVERIFY(writeAll(path, QByteArray(4096, 'x'))); // an older, longer file is replaced whole
    QVERIFY(s.exportAnalysisSettingsFile(path));
    const QByteArray text = readAll(path);

    QVERIFY(text.startsWith("{\n    \"General\": {\n        \"BackgroundUniformAdjustType\": 0,\n"));
    QVERIFY(text.endsWith("\n    }\n}\n"));
    QCOMPARE(text.count('\n'), keys + 4); // one line per key plus four brace lines
    const QStringList present = generalKeys(text);
    QCOMPARE(present.size(), keys);
    for (const char *key : {"MLFeatureType", "MedianFilter", "RemovedMaxMinNum"})
        QCOMPARE(present.contains(QLatin1String(key)), optional.contains(QLatin1String(key)));
}

void TestSettings::fileRoundTrip()
{
    Ravelin::Settings a;
    QVERIFY(a.loadAnalysisSettingsBuf(kFreshBuffer)); // marks the optional keys present
    a.setAnalysisSettings(unusualSettings());
    const QString path = m_dir.filePath(QStringLiteral("roundtrip.json"));
    QVERIFY(a.exportAnalysisSettingsFile(path));

    Ravelin::Settings b;
    QVERIFY(b.loadAnalysisSettingsFile(path));
    QCOMPARE(b.getAnalysisSettingsBuf(), a.getAnalysisSettingsBuf());

    // Without the optional keys in the file, a reader keeps its own values for them.
    Ravelin::Settings c;
    c.setAnalysisSettings(unusualSettings());
    QVERIFY(c.exportAnalysisSettingsFile(path));
    Ravelin::Settings e;
    QVERIFY(e.loadAnalysisSettingsFile(path));
    const Ravelin::AnalysisSettings r = e.getAnalysisSettings();
    QCOMPARE(r.SaturatedPixelNum, 3);
    QCOMPARE(r.RemovedMaxMinNum, 2);
    QCOMPARE(r.MedianFilter, 0);
    QCOMPARE(r.MLFeatureType, 0);
}

void TestSettings::errorTextsStay()
{
    Ravelin::Settings s;
    QVERIFY(!s.loadAnalysisSettingsFile(m_dir.filePath(QStringLiteral("missing.json"))));
    QCOMPARE(s.getError(), QStringLiteral("Failed to open file in ReadOnly mode."));
    QVERIFY(s.loadAnalysisSettingsBuf("{}"));
    QCOMPARE(s.getError(), QStringLiteral("Failed to open file in ReadOnly mode."));

    QVERIFY(!s.exportAnalysisSettingsFile(m_dir.filePath(QStringLiteral("no/such/folder/x.json"))));
    QCOMPARE(s.getError(), QStringLiteral("Failed to open file in WriteOnly mode."));
    QVERIFY(!s.loadAnalysisSettingsBuf("{"));
    QCOMPARE(s.getError(), QStringLiteral("QJsonParseError:%1").arg(int(QJsonParseError::UnterminatedObject)));
    QVERIFY(s.exportAnalysisSettingsFile(m_dir.filePath(QStringLiteral("ok.json"))));
    QCOMPARE(s.getError(), QStringLiteral("QJsonParseError:%1").arg(int(QJsonParseError::UnterminatedObject)));
}

void TestSettings::failedWriteIsReported()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no device that refuses writes");
    Ravelin::Settings s;
    QVERIFY(!s.exportAnalysisSettingsFile(QStringLiteral("/dev/full")));
    QCOMPARE(s.getError(), QStringLiteral("Failed to write file."));
}

void TestSettings::parserCopiesKeyPresence()
{
    Ravelin::SettingsFileParser a;
    Ravelin::AnalysisSettings rec;
    QVERIFY(a.Read(QByteArray(R"({"General":{"RemovedMaxMinNum":4}})"), &rec));
    QCOMPARE(rec.RemovedMaxMinNum, 4);
    Ravelin::SettingsFileParser copy(a);
    Ravelin::SettingsFileParser moved(std::move(a));
    const QString p1 = m_dir.filePath(QStringLiteral("copy.json"));
    const QString p2 = m_dir.filePath(QStringLiteral("moved.json"));
    QVERIFY(copy.Write(p1, &rec));
    QVERIFY(moved.Write(p2, &rec));
    QCOMPARE(generalKeys(readAll(p1)).size(), 19);
    QCOMPARE(readAll(p2), readAll(p1));
}

LUMARA_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
