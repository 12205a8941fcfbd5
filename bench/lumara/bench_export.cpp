// The grey-value workbook of the seeded run (96 wells x 6 channels x 20000 droplets, plus the
// two position columns: 15.4 M cells), in one run:
//   (a) written by the export job,
//   (b) the same numbers written by a bare loop through the workbook module,
//   (c) the same numbers written as CSV through QTextStream.
// Reports (a)/(b), (a)/(c) and the peak memory (a) adds over the seeded process.
// LUMARA_BENCH_WELLS sets another well count.
#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/signaltransfer.h"
#include "pages/Export/exportjob.h"
#include "pages/Export/xlsxbook.h"
#include "pages/ViewResult/resultmodel.h"
#include "seededrun.h"
#include "shell/welllistmodel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

struct WellValues {
    QString name;
    QVector<QVector<uint>> columns; // per channel, then x and y
};

// Resets the peak resident size and gives the current one, in kB.
long resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
    }
    return 0;
}

long peakKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            return value;
        }
    }
    return 0;
}

QList<WellValues> collect()
{
    BLLInstance *bll = BLLInstance::getInstance();
    QList<WellValues> wells;
    for (const WellListItem &w : WellListModel::instance()->getWellList()) {
        WellValues v;
        v.name = w.wellName;
        QVector<uint> seen;
        for (int index : bll->getWellChannelIndices(w.wellId)) {
            if (seen.contains(uint(index + 1)))
                continue;
            seen.append(uint(index + 1));
            v.columns.append(bll->getAllDropletGrayValues(w.wellId, uint(index + 1)));
        }
        QVector<uint> xs, ys;
        for (const auto &d : bll->getDropletExclude()->getImgAnalysisInfo(w.wellId).droplets) {
            xs.append(d.x);
            ys.append(d.y);
        }
        v.columns << xs << ys;
        wells.append(v);
    }
    return wells;
}

double seconds(const std::function<bool()> &work, bool *ok)
{
    QElapsedTimer t;
    t.start();
    *ok = work() && *ok;
    return t.nsecsElapsed() * 1e-9;
}

void BM_GreyValueWorkbook(benchmark::State &state)
{
    const QString &error = BenchSeed::seeded();
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    // The models listen to the hub from their first use on.
    WellListModel::instance();
    ResultModel::instance();
    emit SignalTransfer::getInstance()->updateWellInfo();
    const QList<WellValues> wells = collect();
    if (wells.isEmpty()) {
        state.SkipWithError("the well list is empty");
        return;
    }
    XlsxBook::Style style;
    style.bold = true;
    double exportSeconds = 0.0, bareSeconds = 0.0, csvSeconds = 0.0;
    long peakAbove = 0;
    bool ok = true;
    quint64 cells = 0;
    for (auto _ : state) {
        QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-export-XXXXXX"));
        const long base = resetPeak();
        const double a = seconds(
            [&] {
                ExportJob job(ExportSnapshot::take(dir.path()), [] {});
                return job.exportGrayValueTable();
            },
            &ok);
        peakAbove = std::max(peakAbove, peakKb() - base);
        exportSeconds += a;
        state.SetIterationTime(a);
        bareSeconds += seconds(
            [&] {
                XlsxBook book(dir.path(), true);
                cells = 0;
                for (const WellValues &w : wells) {
                    book.addSheet(w.name);
                    for (int c = 0; c < w.columns.size(); ++c)
                        book.writeString(1, c + 1, QStringLiteral("header"), style);
                    const int rows = w.columns.last().size();
                    for (int r = 0; r < rows; ++r)
                        for (int c = 0; c < w.columns.size(); ++c)
                            book.writeNumber(r + 2, c + 1, w.columns.at(c).value(r), style);
                    cells += quint64(rows) * quint64(w.columns.size());
                }
                return book.save(dir.filePath(QStringLiteral("bare.xlsx")));
            },
            &ok);
        csvSeconds += seconds(
            [&] {
                QFile file(dir.filePath(QStringLiteral("grey.csv")));
                if (!file.open(QIODevice::WriteOnly))
                    return false;
                QTextStream out(&file);
                for (const WellValues &w : wells) {
                    out << w.name << '\n';
                    const int rows = w.columns.last().size();
                    for (int r = 0; r < rows; ++r) {
                        for (int c = 0; c < w.columns.size(); ++c)
                            out << (c ? "," : "") << w.columns.at(c).value(r);
                        out << '\n';
                    }
                }
                out.flush();
                return out.status() == QTextStream::Ok;
            },
            &ok);
    }
    if (!ok)
        state.SkipWithError("a workbook could not be written");
    const double n = double(state.iterations());
    state.counters["cells_M"] = cells / 1e6;
    state.counters["bare_s"] = bareSeconds / n;
    state.counters["csv_s"] = csvSeconds / n;
    state.counters["export_per_bare"] = exportSeconds / bareSeconds;
    state.counters["export_per_csv"] = exportSeconds / csvSeconds;
    state.counters["export_peak_MB"] = peakAbove / 1024.0;
}
BENCHMARK(BM_GreyValueWorkbook)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return BenchSeed::runBenchmarks(argc, argv);
}
