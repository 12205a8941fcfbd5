// lumara_e2e: the headless end-to-end run on a generated run archive, printing every hub
// signal and every well's figures after each step, and checking them against the ground
// truth. Exit code 0 when every check held, 1 otherwise, 2 for bad arguments.
//
//   lumara_e2e --all --threads 8 --wells 3
//   lumara_e2e --reanalyse --fraction 0.6 --kind expzip --dir /tmp/e2e
//   lumara_e2e --reanalyse --line --size 960 --rain 0.05 --positive-cv 0.1 --tolerance 0.02
#include "scenario.h"
#include "shapecommandline.h"
#include "testmain.h"
#include "truthcheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    LumaraTest::markQtHandovers();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Headless end-to-end run of a generated run archive."));
    parser.addHelpOption();
    const QCommandLineOption dirOption("dir", "Folder for the archives (default: a temporary one).", "folder");
    const QCommandLineOption threadsOption("threads", "Limit of the global thread pool.", "n", "0");
    const QCommandLineOption kindOption("kind", "imrs or expzip.", "kind", "imrs");
    const QCommandLineOption wellsOption("wells", "Wells of the run.", "n", "3");
    const QCommandLineOption sizeOption("size", "Image width and height.", "pixels", "512");
    const QCommandLineOption volumeOption("volume", "Droplet volume: 300, 600, 800 or 3000.", "pl", "800");
    const QCommandLineOption fractionOption("fraction", "Positive fraction of every target.", "p", "0.2");
    const QCommandLineOption setsOption("sets", "Image sets (2: two blocks).", "n", "1");
    const QCommandLineOption crosstalkOption("crosstalk", "Share of each dye in the next channel.", "x", "0.1");
    const QCommandLineOption seedOption("seed", "Generator seed.", "n", "7");
    const QCommandLineOption lineOption("line", "Switch to line mode.");
    const QCommandLineOption poolOption("pool", "Pooled automatic thresholds.");
    const QCommandLineOption reanalyseOption("reanalyse", "Re-analyse every well.");
    const QCommandLineOption backgroundOption("background",
                                              "Background correction of the re-analysis: 2 intelligent algorithm (the "
                                              "dialog's default), 1 machine correction, 0 none.",
                                              "n", "2");
    const QCommandLineOption excludeOption("exclude", "Exclude every n-th droplet.", "n", "0");
    const QCommandLineOption matrixOption("matrix", "Apply the crosstalk as a compensation matrix.");
    const QCommandLineOption resetOption("reset", "Withdraw the matrix again.");
    const QCommandLineOption mergeOption("merge", "Merge a second generated archive.");
    const QCommandLineOption saveOption("save", "Save as a package and reopen it.");
    const QCommandLineOption allOption("all", "Every step.");
    const QCommandLineOption toleranceOption("tolerance",
                                             "With well shapes: counts within this share of the drawn positives, or "
                                             "one droplet (default 0.02).",
                                             "share", "0.02");
    parser.addOptions({dirOption, threadsOption, kindOption, wellsOption, sizeOption, volumeOption, fractionOption,
                       setsOption, crosstalkOption, seedOption, lineOption, poolOption, reanalyseOption, backgroundOption,
                       excludeOption, matrixOption, resetOption, mergeOption, saveOption, allOption, toleranceOption});
    const MkPackage::ShapeCommandLine shapes;
    shapes.addTo(parser);
    parser.process(app);

    EndToEnd::ScenarioOptions o;
    MkPackage::GeneratorOptions &run = o.run;
    const QString kind = parser.value(kindOption);
    if (kind != QLatin1String("imrs") && kind != QLatin1String("expzip")) {
        fprintf(stderr, "--kind must be imrs or expzip\n");
        return 2;
    }
    run.kind = kind == QLatin1String("expzip") ? MkPackage::ArchiveKind::Expzip : MkPackage::ArchiveKind::Imrs;
    run.wells = parser.value(wellsOption).toInt();
    run.width = run.height = parser.value(sizeOption).toInt();
    run.volume = parser.value(volumeOption).toInt();
    run.imageSets = parser.value(setsOption).toInt();
    // Two blocks are recognised apart: the droplets at the rows where they meet are not found.
    if (run.imageSets == 2)
        o.minCompleteness *= 1.0 - EndToEnd::seamShare(run.height, run.volume);
    run.crosstalk = parser.value(crosstalkOption).toDouble();
    run.seed = parser.value(seedOption).toULongLong();
    run.matrix = false; // the run starts uncompensated; the matrix comes as a file
    run.analysisParamsJson = EndToEnd::dataFolderParameters(run.volume);
    const double fraction = parser.value(fractionOption).toDouble();
    for (MkPackage::TargetOption &t : run.targets)
        t.fraction = fraction;
    QString shapeError;
    if (!shapes.read(parser, &run, &shapeError)) {
        fprintf(stderr, "%s\n", qPrintable(shapeError));
        return 2;
    }
    bool toleranceOk = false;
    o.countTolerance.ofTruth = parser.value(toleranceOption).toDouble(&toleranceOk);
    if (!toleranceOk || o.countTolerance.ofTruth < 0.0) {
        fprintf(stderr, "--tolerance needs a share of 0 or more\n");
        return 2;
    }

    const bool all = parser.isSet(allOption);
    o.threads = parser.value(threadsOption).toInt();
    o.lineMode = all || parser.isSet(lineOption);
    o.pool = all || parser.isSet(poolOption);
    o.reanalyse = all || parser.isSet(reanalyseOption);
    o.background = parser.value(backgroundOption).toInt();
    o.excludeStep = all ? 7 : parser.value(excludeOption).toInt();
    o.matrix = all || parser.isSet(matrixOption);
    o.reset = all || parser.isSet(resetOption);
    o.merge = all || parser.isSet(mergeOption);
    o.save = all || parser.isSet(saveOption);

    QTemporaryDir temporary;
    o.folder = parser.isSet(dirOption) ? parser.value(dirOption) : temporary.path();
    // The per-machine folder: the given one, else inside the working folder.
    if (qEnvironmentVariableIsEmpty("LUMARA_ROOT"))
        qputenv("LUMARA_ROOT", (o.folder + QStringLiteral("/machine")).toUtf8());

    QTextStream out(stdout);
    const EndToEnd::ScenarioResult result = EndToEnd::runScenario(o, &out);
    out << (result.ok() ? "OK" : "FAILED") << '\n';
    return result.ok() ? 0 : 1;
}
