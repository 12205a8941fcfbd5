#include "resultseed.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "pages/ViewResult/resultmodel.h"
#include "shell/welllistmodel.h"

#include <QSet>
#include <QTemporaryDir>

using namespace LumaraAnalysisData;

namespace ResultTest {

BllTest::WellSeed well(uint id, const QString &position, const QString &sample, int droplets,
                       const std::array<int, PerChannel> &positives, const QList<uint> &channels)
{
    BllTest::WellSeed w = BllTest::well(id, position, channels);
    w.sampleName = sample;
    for (int i = 0; i < droplets; ++i) {
        BllTest::Greys g{};
        for (int c = 0; c < PerChannel; ++c)
            g[c] = i < positives[c] ? Positive : Negative;
        w.droplets.append(BllTest::droplet(g));
    }
    w.lineThresholds.fill(Threshold);
    return w;
}

BllTest::DocumentSeed document(const QList<BllTest::WellSeed> &wells)
{
    BllTest::DocumentSeed seed;
    QList<uint> channels{1, 2};
    for (const BllTest::WellSeed &w : wells)
        for (uint c : w.channels)
            if (!channels.contains(c))
                channels.append(c);
    seed.targets = BllTest::namedTargets(channels);
    seed.wells = wells;
    return seed;
}

bool load(const BllTest::DocumentSeed &seed, QString *error)
{
    // Both models listen to the hub from their first use on.
    WellListModel::instance();
    ResultModel::instance();
    if (!BllTest::seedDocument(seed, nullptr, error))
        return false;
    for (const BllTest::WellSeed &w : seed.wells)
        BLLInstance::getInstance()->updateZonesDroplets(w.id, false);
    emit SignalTransfer::getInstance()->updateWellInfo();
    return true;
}

bool useKit(bool kit, QString *error)
{
    BLLInstance *bll = BLLInstance::getInstance();
    if (bll->isSpecialKit() == kit)
        return true;
    static QTemporaryDir folder;
    MkPackage::GeneratorOptions options;
    options.wells = 1;
    options.width = 64;
    options.height = 48;
    options.storedDroplets = MkPackage::StoredDroplets::Drawn; // too small for the recognition
    options.reagentKit = kit;
    const QString path = BllTest::generateRun(folder.path(), kit ? QStringLiteral("kit.imrs") : QStringLiteral("plain.imrs"),
                                              options);
    if (path.isEmpty() || !bll->openFile(path) || bll->isSpecialKit() != kit) {
        if (error)
            *error = QStringLiteral("the %1 package did not open").arg(kit ? "kit" : "plain");
        return false;
    }
    return true;
}

} // namespace ResultTest
