#pragma once
// The writers of one export. Everything the GUI-thread models hold is copied into a snapshot
// on the GUI thread before the job starts; the job itself reads only the snapshot and the
// business layer. Plot images are drawn by widgets on the GUI thread while the job waits.
#include "model/lumaraanalysisdata.h"
#include "pages/ViewResult/resultmodel.h"
#include "shell/guihandoff.h"
#include "shell/welllistmodel.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPolygonF>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QuorinHistogramPlot;
class Zetan1Plot;
class Zt2DPlot;
class ZtConcentration;

struct ExportSnapshot {
    QString folder; // the new export folder: filePath + "/" + folder name
    QList<WellListItem> wells; // the shared well list, in row order
    QList<uint> rowIds; // the result rows: wells, then merged rows
    QHash<uint, QString> rowNames;
    QList<MergedResultRow> mergedRows;
    QStringList populationNames; // by index, as the well list gives them
    QStringList populationColours; // "#12RRGGBB" by index
    QHash<uint, QVector<int>> cachedThresholds; // well id -> threshold per channel - 1
    int histogramLog = 0;
    int concentrationLog = 0;
    int uncertaintyLog = 0;
    int individualMode = 0;

    // Takes the snapshot from the process-wide models; GUI thread only.
    static ExportSnapshot take(const QString &folder);
    QList<uint> wellIds() const;
};

class ExportJob {
public:
    enum Output {
        ResultTable = 1,
        Histograms = 2,
        OneDPlots = 4,
        TwoDPlots = 8,
        ConcentrationGraphs = 16,
        UncertaintyCurves = 32,
        DropletImages = 64,
    };
    static constexpr int ImageWidth = 1280;
    static constexpr int ImageHeight = 981;

    // report is called once per failing output kind (on the job's thread).
    ExportJob(ExportSnapshot snapshot, std::function<void()> report);
    // Plot images are drawn through the hand-off; once it is closed the job draws nothing
    // more and ends before its next output. Without one, drawing blocks on the GUI thread.
    void handOffTo(const GuiHandOff &gui) { m_gui = std::make_unique<GuiHandOff>(gui); }

    // The outputs of the mask in their fixed order, then always the grey-value workbook. An
    // exception in one output is caught, reported and the job goes on with the next.
    void run(int mask);

    bool exportResultTable();
    bool exportGrayValueTable();
    bool exportHistograms();
    bool export1DPlots();
    bool exportDropletImages();
    bool export2DPlots();
    bool exportConcentrationGraphs();
    bool exportUncertaintyCurves();

    // The population colour laid over white ("#12ff0000" -> #ededed-ish red tint).
    static QColor toOpaqueColor(const QString &argb);
    // The file name of a droplet image from its path in the package; empty when there is none.
    static QString dropletImageName(const QString &packagePath);
    // "%1(%2)": fluorophore and target name of a channel.
    static QString channelTitle(uint channel);
    // The four point groups of a 2D image: both, only y, negative, only x.
    struct PointGroup {
        QString colour;
        QVector<QPointF> points;
    };
    static QList<PointGroup> twoChannelPointGroups(const QList<uint> &wells, uint x, uint y);

    // What a histogram image shows, gathered on the job's thread.
    struct HistogramImage {
        QString colour;
        QString title; // the bottom axis
        QVector<uint> values;
        int binWidth = 5;
        int upperLimit = 100; // largest value + 100; 100 without values
        bool log = false;
        bool linesShown = false;
        uint threshold = 0; // the first well's line threshold, both markers
    };
    HistogramImage histogramImage(const QList<uint> &wells, uint channel) const;

    // What a 1D image shows: well k's j-th kept droplet at x = j + k * span.
    struct OneDImage {
        QString colour;
        QString title; // the left axis
        QVector<QPointF> points;
        QVector<QPolygonF> lines; // the solid and the dotted lines alike
        QStringList labels; // one per well, under the bottom axis
        int span = 0;
        bool lineMode = true;
    };
    OneDImage oneDImage(const QList<uint> &wells, uint channel) const;

    // The room each well takes on a 1D image: m + m div 60, m the most kept droplets of the
    // channel over the wells; 0 for no wells.
    static int maxDropletSpan(const QList<uint> &wells, uint channel);
    static int dropletSpan(int largestCount) { return largestCount + largestCount / 60; }
    // Per well k the line from (k * span, t) to ((k + 1) * span, t), t its line threshold of
    // the channel, 0 under polygon thresholds.
    static QVector<QPolygonF> thresholdLines(const QList<uint> &wells, uint channel, int span);

    // The fed widgets of the histogram and 1D images, 1280 x 981; GUI thread only.
    static std::unique_ptr<QuorinHistogramPlot> buildHistogram(const HistogramImage &image);
    static std::unique_ptr<Zetan1Plot> build1DPlot(const OneDImage &image);

    // The fed widgets of the 2D and concentration images, 1280 x 981; GUI thread only.
    std::unique_ptr<Zt2DPlot> build2DPlot(const QList<uint> &wells,
                                          const LumaraAnalysisData::Customized2DPlotInfo &plot) const;
    std::unique_ptr<ZtConcentration> buildConcentrationChart(const QList<uint> &ids) const;

    // Runs the drawing on the GUI thread and waits for its image (directly when called there);
    // a null image once the hand-off is closed.
    QImage renderOnGuiThread(const std::function<QImage()> &draw) const;

private:
    QString filePath(const QString &name) const;
    // The export folder's path for an image named name (no folder, no extension): the name
    // cleaned into a file name no other image of this export has.
    QString imagePath(const QString &name);
    // Saves under imagePath(name); reports a failure.
    bool saveImage(const QImage &image, const QString &name);
    bool exportHistogram(const QList<uint> &wells, uint channel, const QString &name);
    bool export1DPlot(const QList<uint> &wells, uint channel, const QString &name);
    bool export2DPlot(const QList<uint> &wells, const QString &name);
    bool exportConcentrationGraph(const QList<uint> &ids, const QString &name);
    bool exportUncertaintyCurve(const QList<uint> &ids, uint population, const QString &name);

    ExportSnapshot m_snapshot;
    std::function<void()> m_report;
    std::unique_ptr<GuiHandOff> m_gui;
    QSet<QString> m_fileNames; // the images' file names so far, lower-cased
};
