// mkpackage: writes a synthetic instrument run archive (.imrs or .expzip, by the file suffix)
// with its ground truth in <archive>.truth.json.
#include "generator.h"
#include "shapecommandline.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace MkPackage;

namespace {

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usageError(const QString &text)
{
    err() << "mkpackage: " << text << "\n";
    err().flush();
    return 2;
}

bool toInt(const QString &text, int *out)
{
    bool ok = false;
    *out = text.toInt(&ok);
    return ok;
}

bool toDouble(const QString &text, double *out)
{
    bool ok = false;
    *out = text.toDouble(&ok);
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mkpackage"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Writes a synthetic instrument run archive: rendered droplet images with the droplets the\n"
        "program's recognition finds on them, thresholds and results that agree with them, and the\n"
        "ground truth in <output>.truth.json.\n"
        "The suffix of the output picks the kind: .imrs or .expzip."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("output"), QStringLiteral("Archive to write (.imrs or .expzip)."));
    const QCommandLineOption wells({"w", "wells"}, "Number of wells (default 4).", "n", "4");
    const QCommandLineOption droplets({"d", "droplets"},
                                      "Droplets per well, about (the image is sized to hold them, or the droplets "
                                      "scaled to fit a given size).",
                                      "n");
    const QCommandLineOption size({"s", "size"}, "Image size, WIDTHxHEIGHT or one number (default 512; the width "
                                                 "is rounded up to a multiple of 4).",
                                  "size");
    const QCommandLineOption volume("volume", "Droplet volume in pl: 300, 600, 800 or 3000 (default 800).", "pl", "800");
    const QCommandLineOption target({"t", "target"},
                                    "A target NAME:DYE[:FRACTION], repeatable; replaces the default targets "
                                    "Target-FAM:FAM:0.2, Target-HEX:HEX:0.35, Target-CY5:CY5:0.1. Dyes: FAM, "
                                    "EvaGreen, HEX, VIC, CY5, Q670, CY5.5, Quasar705, CY3, Atto 425 (.imrs only).",
                                    "plan");
    const QCommandLineOption fraction({"f", "fraction"}, "Positive fraction of a target, NAME=F; repeatable.", "plan");
    const QCommandLineOption wellFraction("well-fraction", "Positive fraction in one well, W:NAME=F (W from 1); "
                                                           "repeatable.",
                                          "plan");
    const QCommandLineOption wellTargets("well-targets", "Targets one well measures, W:NAME,NAME (W from 1); "
                                                         "repeatable.",
                                         "plan");
    const QCommandLineOption wellSample("well-sample", "Sample name of one well, W:NAME (W from 1; default S<W>); "
                                                       "wells of one name form a merged result row. Repeatable.",
                                        "plan");
    const QCommandLineOption layout({"l", "layout"}, "run.pcr layout of .imrs archives: 3.0 or 3.1 (default 3.1).",
                                    "layout", "3.1");
    const QCommandLineOption imageSets("image-sets", "Image sets of layout 3.1: 1, or 2 (each channel as a top and a "
                                                     "bottom 8-bit half).",
                                       "n", "1");
    const QCommandLineOption expVersion("exp-version", "run.exp version of .imrs archives: 0 or 1 (default 1).", "v",
                                        "1");
    const QCommandLineOption password({"p", "password"}, "Encrypt every entry but \"password\" with this password.",
                                      "password");
    const QCommandLineOption noPasswordEntry("no-password-entry", "Leave out the \"password\" entry.");
    const QCommandLineOption noMatrix("no-matrix", "Store an empty compensation matrix.");
    const QCommandLineOption crosstalk("crosstalk", "Share of each dye seen in the next channel, half of it in the "
                                                    "one before (default 0).",
                                       "x", "0");
    const QCommandLineOption matrixCrosstalk("matrix-crosstalk", "The share the stored matrix takes off instead "
                                                                 "(default: the crosstalk).",
                                             "x");
    const QCommandLineOption vignetting("vignetting", "Brightness loss at the image corners, 0 to <1 (default 0).", "v",
                                        "0");
    const QCommandLineOption seed("seed", "Seed of the run (default 1).", "n", "1");
    const QCommandLineOption noFileLog("no-filelog", "Leave out \"fileMgrLog\".");
    const QCommandLineOption reagentKit("reagent-kit", "Add \"reagentKit/pcr.kit\".");
    const QCommandLineOption noParams("no-analysis-params", "Leave out \"analysisparams.json\".");
    const QCommandLineOption paramsFile("analysis-params", "Store this file as \"analysisparams.json\" (default: the "
                                                           "data folder's file of the droplet volume when the droplets "
                                                           "keep the volume's size, else the analysis defaults).",
                                        "file");
    const QCommandLineOption zeroIds("zero-well-ids", "Store well id 0 in every run.pcr record of an .imrs archive.");
    const QCommandLineOption fullLists("full-droplet-lists", "Store every per-droplet list of an .imrs archive, also "
                                                             "those no reader takes.");
    const QCommandLineOption imageFolder("image-folder", "Folder part in front of the stored image names of an .imrs "
                                                         "archive (readers keep the last part only).",
                                         "folder");
    const QCommandLineOption drawn("drawn-droplets", "Store the droplets as drawn instead of those the program's "
                                                      "recognition finds on the images (needed for droplets scaled to "
                                                      "fit a count into a given size, and for images too small for "
                                                      "the recognition).");
    const QCommandLineOption quiet({"q", "quiet"}, "Print nothing on success.");
    p.addOptions({wells, droplets, size, volume, target, fraction, wellFraction, wellTargets, wellSample, layout,
                  imageSets, expVersion, password, noPasswordEntry, noMatrix, crosstalk, matrixCrosstalk, vignetting, seed,
                  noFileLog,
                  reagentKit, noParams, paramsFile, zeroIds, fullLists, imageFolder, drawn, quiet});
    const ShapeCommandLine shapes;
    shapes.addTo(p);
    p.process(app);

    const QStringList positional = p.positionalArguments();
    if (positional.size() != 1)
        return usageError(QStringLiteral("give exactly one output file (see --help)"));
    const QString output = positional.first();

    GeneratorOptions o;
    if (!toInt(p.value(wells), &o.wells) || o.wells < 1)
        return usageError(QStringLiteral("--wells needs a positive number"));
    if (p.isSet(droplets) && (!toInt(p.value(droplets), &o.droplets) || o.droplets < 1))
        return usageError(QStringLiteral("--droplets needs a positive number"));
    if (p.isSet(size)) {
        const QStringList parts = p.value(size).toLower().split(QLatin1Char('x'));
        if (parts.size() > 2 || !toInt(parts.first(), &o.width) || o.width < 4
            || (parts.size() == 2 && (!toInt(parts.last(), &o.height) || o.height < 4)))
            return usageError(QStringLiteral("--size needs WIDTHxHEIGHT or one number, at least 4"));
        if (parts.size() == 1)
            o.height = o.width;
    }
    if (!toInt(p.value(volume), &o.volume))
        return usageError(QStringLiteral("--volume needs a number"));
    if (p.isSet(target)) {
        o.targets.clear();
        for (const QString &plan : p.values(target)) {
            const QStringList parts = plan.split(QLatin1Char(':'));
            TargetOption t;
            if (parts.size() < 2 || parts.size() > 3 || parts[0].isEmpty()
                || (parts.size() == 3 && !toDouble(parts[2], &t.fraction)))
                return usageError(QStringLiteral("--target needs NAME:DYE[:FRACTION], not \"%1\"").arg(plan));
            t.name = parts[0];
            t.dye = parts[1];
            o.targets.append(t);
        }
    }
    for (const QString &plan : p.values(fraction)) {
        const QString name = plan.section(QLatin1Char('='), 0, 0);
        double f = 0.0;
        bool found = false;
        if (!toDouble(plan.section(QLatin1Char('='), 1), &f))
            return usageError(QStringLiteral("--fraction needs NAME=F, not \"%1\"").arg(plan));
        for (TargetOption &t : o.targets)
            if (t.name == name) {
                t.fraction = f;
                found = true;
            }
        if (!found)
            return usageError(QStringLiteral("--fraction: \"%1\" is not a target").arg(name));
    }
    for (const QString &plan : p.values(wellFraction)) {
        int index = 0;
        QString rest;
        double f = 0.0;
        if (!ShapeCommandLine::splitWell(plan, o.wells, &index, &rest) || !toDouble(rest.section(QLatin1Char('='), 1), &f))
            return usageError(QStringLiteral("--well-fraction needs W:NAME=F with W a well, not \"%1\"").arg(plan));
        o.wellFractions[index].insert(rest.section(QLatin1Char('='), 0, 0), f);
    }
    for (const QString &plan : p.values(wellTargets)) {
        int index = 0;
        QString rest;
        if (!ShapeCommandLine::splitWell(plan, o.wells, &index, &rest) || rest.isEmpty())
            return usageError(QStringLiteral("--well-targets needs W:NAME,NAME with W a well, not \"%1\"").arg(plan));
        o.wellTargets.insert(index, rest.split(QLatin1Char(',')));
    }
    for (const QString &plan : p.values(wellSample)) {
        int index = 0;
        QString name;
        if (!ShapeCommandLine::splitWell(plan, o.wells, &index, &name) || name.isEmpty())
            return usageError(QStringLiteral("--well-sample needs W:NAME with W a well, not \"%1\"").arg(plan));
        o.wellSamples.insert(index, name);
    }
    QString shapeError;
    if (!shapes.read(p, &o, &shapeError))
        return usageError(shapeError);
    if (p.value(layout) == QLatin1String("3.0"))
        o.pcrVersion = 0;
    else if (p.value(layout) == QLatin1String("3.1"))
        o.pcrVersion = 1;
    else
        return usageError(QStringLiteral("--layout is 3.0 or 3.1"));
    if (!toInt(p.value(imageSets), &o.imageSets))
        return usageError(QStringLiteral("--image-sets is 1 or 2"));
    if (!toInt(p.value(expVersion), &o.expVersion))
        return usageError(QStringLiteral("--exp-version is 0 or 1"));
    o.password = p.value(password);
    o.passwordEntry = !p.isSet(noPasswordEntry);
    o.matrix = !p.isSet(noMatrix);
    if (!toDouble(p.value(crosstalk), &o.crosstalk))
        return usageError(QStringLiteral("--crosstalk needs a number"));
    if (p.isSet(matrixCrosstalk)) {
        double share = 0.0;
        if (!toDouble(p.value(matrixCrosstalk), &share))
            return usageError(QStringLiteral("--matrix-crosstalk needs a number"));
        o.matrixCrosstalk = share;
    }
    if (!toDouble(p.value(vignetting), &o.vignetting))
        return usageError(QStringLiteral("--vignetting needs a number"));
    bool seedOk = false;
    o.seed = p.value(seed).toULongLong(&seedOk);
    if (!seedOk)
        return usageError(QStringLiteral("--seed needs a whole number"));
    o.fileLog = !p.isSet(noFileLog);
    o.reagentKit = p.isSet(reagentKit);
    o.analysisParams = !p.isSet(noParams);
    // Parameters that fit the droplets: those made for the volume, unless the droplets were
    // scaled to fit a count into a given size.
    QString params = p.value(paramsFile);
    if (params.isEmpty() && !(o.droplets > 0 && o.width > 0)) {
        const QString candidate = QCoreApplication::applicationDirPath()
                                  + QStringLiteral("/../data/%1pl_analysisparams.json").arg(o.volume);
        if (QFileInfo::exists(candidate))
            params = candidate;
    }
    if (o.analysisParams && !params.isEmpty()) {
        QFile f(params);
        if (!f.open(QIODevice::ReadOnly))
            return usageError(QStringLiteral("cannot read %1").arg(params));
        o.analysisParamsJson = f.readAll();
    }
    o.zeroWellIds = p.isSet(zeroIds);
    o.fullDropletLists = p.isSet(fullLists);
    o.imageFolder = p.value(imageFolder);
    o.storedDroplets = p.isSet(drawn) ? StoredDroplets::Drawn : StoredDroplets::Recognised;

    QElapsedTimer timer;
    timer.start();
    RunTruth truth;
    QString error;
    if (!generatePackage(o, output, &truth, &error))
        return usageError(error);
    if (!p.isSet(quiet)) {
        qint64 drops = 0;
        for (const WellTruth &w : qAsConst(truth.wells))
            drops += w.droplets;
        QTextStream out(stdout);
        out << output << ": " << truth.wells.size() << " wells, " << drops << " droplets, "
            << QFileInfo(output).size() / 1024 << " KiB in " << timer.elapsed() << " ms\n"
            << truthPathFor(output) << "\n";
    }
    return 0;
}
