#pragma once
// A headless stand-in for the program's main road: the singletons on the main thread, the open
// on a worker thread of its own, jobs on the global pool, every hub signal delivered to the main
// thread's event loop and printed in order, and the population results renewed whenever the
// hub announces new well information (as the well list does). After each step the figures of
// every well can be taken and printed.
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVector>

#include <functional>

namespace EndToEnd {

struct PopulationFigures {
    uint id = 0;
    QString name;
    uint positives = 0;
    uint negatives = 0;
    double concentration = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    double uncertainty = 0.0;
    bool operator==(const PopulationFigures &o) const;
};

struct WellFigures {
    uint id = 0;
    QString name;
    uint effective = 0;
    // The quality-control figures of the well's image analysis.
    double sharpness = 0.0;
    uint saturated = 0;
    // Per quality-control figure ("sharpness", "droplets", "Rs 1", ...), whether it meets its
    // limit: the colours of the Quality Control page and of the droplet-quality dialog.
    QMap<QString, bool> qcMet;
    QList<QPair<uint, uint>> thresholds; // (channel, line threshold) of the used channels
    QList<PopulationFigures> populations;
    bool operator==(const WellFigures &o) const;
    const PopulationFigures *population(const QString &name) const;
};

struct Snapshot {
    QString stage;
    QList<WellFigures> wells;
    // Equal figures, whatever the stage.
    bool sameFigures(const Snapshot &o) const { return wells == o.wells; }
    const WellFigures *well(uint id) const;
};

class Driver : public QObject {
    Q_OBJECT
public:
    // Creates the singletons (call from the main thread, after the application object) and
    // listens to the hub. out receives every line printed; null: nothing printed.
    explicit Driver(QTextStream *out = nullptr, QObject *parent = nullptr);

    // Each step waits, under the main thread's event loop, until it is done and the signals it
    // caused have been delivered.
    bool open(const QString &path);
    void switchToLineMode();
    void poolThresholds();
    void reanalyse(int background = 0, int fluorescence = 1);
    bool applyMatrixFile(const QString &cmtxPath);
    void resetMatrix();
    // Excludes droplets 0, step, 2 step, ... of every well; their indices by well id.
    QMap<uint, QSet<uint>> excludeEvery(int step);
    // isMergeSupported4Load's result (0: merged), or -1 when the continuation failed.
    int merge(const QString &path);
    bool save(const QString &path);

    // Renews the population results (as the results page does when shown), then reads and
    // prints every well's figures.
    Snapshot snapshot(const QString &stage);
    static QString format(const Snapshot &snapshot);

    // Hub signals delivered since the last call, in order.
    QStringList takeSignals();
    QStringList allSignals() const { return m_all; }

private:
    void runJob(const std::function<void()> &job);
    void runOnWorker(const std::function<void()> &work);
    void print(const QString &line);
    void noteSignal(const char *name);

    QTextStream *m_out;
    QStringList m_recent;
    QStringList m_all;
};

} // namespace EndToEnd
