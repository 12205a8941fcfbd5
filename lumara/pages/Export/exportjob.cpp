#include "pages/Export/exportjob.h"

#include "pages/Export/cleanname.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "pages/Export/xlsxbook.h"
#include "pages/ViewResult/concentration.h"
#include "pages/ViewResult/uncertainly.h"
#include "pages/ViewResult/uncertainlyplotitem.h"
#include "pages/ViewResult/ztconcentration.h"
#include "pages/ViewResult/ztuncertainly.h"
#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/dotlayout.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/TwoDotPlot/polygonmgr.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/thresholdaxis.h"
#include "shell/channelcolors.h"
#include "shell/globalvalues.h"
#include "shell/welllistformat.h"

#include "quorinhistogramplot.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFont>
#include <QThread>

#include <algorithm>
#include <exception>

namespace {

QString stamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("MMddhhmmss"));
}

// Scale labels and titles of the left and bottom axes in the exported images.
void setExportFonts(QwtBasic *plot)
{
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(30);
    for (QwtPlot::Axis axis : {QwtPlot::yLeft, QwtPlot::xBottom}) {
        plot->setAxisFont(axis, font);
        plot->SetTitleFont(axis, font);
    }
}

QImage grabWhole(QWidget *widget)
{
    return widget->grab(QRect(QPoint(0, 0), widget->size())).toImage();
}

} // namespace

// ---- Snapshot ------------------------------------------------------------------------------

ExportSnapshot ExportSnapshot::take(const QString &folder)
{
    ExportSnapshot s;
    s.folder = folder;
    WellListModel *wells = WellListModel::instance();
    ResultModel *results = ResultModel::instance();
    s.wells = wells->getWellList();
    s.rowIds = results->getAllIDs();
    for (uint id : s.rowIds)
        s.rowNames.insert(id, results->getRowName(id));
    s.mergedRows = results->getMergedRows();
    const int populations = s.wells.isEmpty() ? 0 : s.wells.first().populations.size();
    for (int p = 0; p < populations; ++p) {
        s.populationNames.append(wells->getPopulationNameByIndex(p));
        s.populationColours.append(wells->getPopulationBackgroundColor(p));
    }
    for (const WellListItem &w : s.wells) {
        QVector<int> t(6, 0);
        for (uint c = 1; c <= 6; ++c)
            t[int(c - 1)] = wells->getCachedThreshold(w.wellId, c);
        s.cachedThresholds.insert(w.wellId, t);
    }
    s.histogramLog = histogramLogAxis;
    s.concentrationLog = concentrationLogAxis;
    s.uncertaintyLog = uncertaintyLogAxis;
    s.individualMode = isIndividualMode;
    return s;
}

QList<uint> ExportSnapshot::wellIds() const
{
    QList<uint> ids;
    for (const WellListItem &w : wells)
        ids.append(w.wellId);
    return ids;
}

// ---- Job -----------------------------------------------------------------------------------

ExportJob::ExportJob(ExportSnapshot snapshot, std::function<void()> report)
    : m_snapshot(std::move(snapshot)), m_report(std::move(report))
{
}

void ExportJob::run(int mask)
{
    using Writer = bool (ExportJob::*)();
    const QVector<QPair<int, Writer>> order = {
        {ResultTable, &ExportJob::exportResultTable},
        {Histograms, &ExportJob::exportHistograms},
        {OneDPlots, &ExportJob::export1DPlots},
        {TwoDPlots, &ExportJob::export2DPlots},
        {ConcentrationGraphs, &ExportJob::exportConcentrationGraphs},
        {UncertaintyCurves, &ExportJob::exportUncertaintyCurves},
        {DropletImages, &ExportJob::exportDropletImages},
        {-1, &ExportJob::exportGrayValueTable},
    };
    for (const auto &step : order) {
        if (step.first != -1 && !(mask & step.first))
            continue;
        // The page that waits for this job is going: nothing more is written.
        if (m_gui && m_gui->isClosed()) {
            qWarning() << "The export was stopped";
            return;
        }
        try {
            (this->*step.second)();
        } catch (const std::exception &e) {
            qWarning() << "Export step failed:" << e.what();
            m_report();
        } catch (...) {
            qWarning() << "Export step failed";
            m_report();
        }
    }
}

QString ExportJob::filePath(const QString &name) const
{
    return m_snapshot.folder + name;
}

QColor ExportJob::toOpaqueColor(const QString &argb)
{
    QString hex = argb;
    if (hex.startsWith(QLatin1Char('#')))
        hex.remove(0, 1);
    bool ok = hex.size() == 8;
    const uint value = hex.toUInt(&ok, 16);
    if (!ok)
        return QColor(Qt::white);
    const double a = ((value >> 24) & 0xFF) / 255.0;
    auto blend = [a](uint component) { return (component / 255.0) * a + (1.0 - a); };
    return QColor::fromRgbF(blend((value >> 16) & 0xFF), blend((value >> 8) & 0xFF), blend(value & 0xFF));
}

QString ExportJob::channelTitle(uint channel)
{
    BLLInstance *bll = BLLInstance::getInstance();
    return QStringLiteral("%1(%2)").arg(bll->getFluorophoreName(channel), bll->getTargetName(channel));
}

// ---- Result workbook -----------------------------------------------------------------------

bool ExportJob::exportResultTable()
{
    const QList<WellListItem> &wells = m_snapshot.wells;
    if (wells.isEmpty())
        return true;
    XlsxBook book(m_snapshot.folder);
    XlsxBook::Style header;
    header.bold = true;
    XlsxBook::Style data;
    data.border = true;
    data.fill = Qt::white;

    auto populationColour = [this](int p) {
        return p < m_snapshot.populationColours.size() ? m_snapshot.populationColours.at(p) : QStringLiteral("#12000000");
    };
    auto fontOf = [](const QString &argb) {
        QColor c(argb);
        c.setAlpha(255);
        return c;
    };

    book.addSheet(QStringLiteral("Result_Table"));
    QStringList headers = {QStringLiteral("well Name"), QStringLiteral("Well Comment"), QStringLiteral("Nb Droples")};
    const int populations = wells.first().populations.size();
    for (int p = 0; p < populations; ++p) {
        headers << QStringLiteral("Dilution") << QStringLiteral("C(cp/ul)") << QStringLiteral("Nb Pos")
                << QStringLiteral("Nb Neg") << QStringLiteral("C_min(cp/ul)") << QStringLiteral("C_max(cp/ul)")
                << QStringLiteral("Relative Uncertainly(%)");
        XlsxBook::Style name = header;
        name.font = fontOf(populationColour(p));
        book.writeString(1, 8 + 7 * p, m_snapshot.populationNames.value(p), name);
    }
    for (int i = 0; i < headers.size(); ++i) {
        XlsxBook::Style style = header;
        if (i >= 3)
            style.font = fontOf(populationColour((i - 3) / 7));
        book.writeString(2, i + 1, headers.at(i), style);
        book.setColumnWidth(i + 1, headers.at(i).size() + 1);
    }
    book.setColumnWidth(2, 2 * QStringLiteral("Well Comment").size());

    int row = 3;
    auto writeBlocks = [&](const QVector<LumaraAnalysisData::PopulationResultInfo> &results, double uncertaintyFactor) {
        for (int q = 0; q < results.size(); ++q) {
            const LumaraAnalysisData::PopulationResultInfo &r = results.at(q);
            XlsxBook::Style fill = data;
            fill.fill = toOpaqueColor(populationColour(q));
            const int c = 4 + 7 * q;
            const QString dilution = WellListFormat::hasValue(r.dilution) ? QStringLiteral("%1").arg(r.dilution)
                                                                           : WellListFormat::notAvailable();
            book.writeString(row, c, dilution, fill);
            book.writeString(row, c + 1, WellListFormat::fixedFigure(r.concentration), fill);
            book.writeString(row, c + 2, QString::number(r.posDrpltNum), fill);
            book.writeString(row, c + 3, QString::number(r.negDrpltNum), fill);
            book.writeString(row, c + 4, WellListFormat::fixedFigure(r.concentrationLower), fill);
            book.writeString(row, c + 5, WellListFormat::fixedFigure(r.concentrationUpper), fill);
            book.writeString(row, c + 6, WellListFormat::fixedFigure(r.uncertainty * uncertaintyFactor), fill);
        }
    };
    auto writeLabel = [&](const QString &label, const QString &comment, uint droplets) {
        book.writeString(row, 1, label, data);
        book.writeString(row, 2, comment, data);
        book.writeString(row, 3, QString::number(droplets), data);
        book.setColumnWidth(1, label.size() + 1);
    };
    for (const WellListItem &w : wells) {
        writeLabel(QStringLiteral("%1. %2").arg(w.wellId).arg(w.wellName), w.comment, w.effDropletSum);
        // A well's relative uncertainty is a fraction.
        writeBlocks(w.populations, 100.0);
        ++row;
    }
    for (const MergedResultRow &m : m_snapshot.mergedRows) {
        writeLabel(QStringLiteral("%1. %2").arg(m.id).arg(m.name), QString(), m.effDropletSum);
        // A merged row holds it as a percentage already.
        writeBlocks(m.populations, 1.0);
        ++row;
    }

    book.addSheet(QStringLiteral("MethInfo"));
    const QStringList methodHeaders = {QStringLiteral("Temperature(℃)"), QStringLiteral("Stage Type"),
                                       QStringLiteral("Keep Temperature Time(s)"), QStringLiteral("Temperature Rate(℃/s)"),
                                       QStringLiteral("Cycles")};
    for (int i = 0; i < methodHeaders.size(); ++i) {
        book.writeString(1, i + 1, methodHeaders.at(i), header);
        book.setColumnWidth(i + 1, methodHeaders.at(i).size() + 1);
    }
    static const QStringList stageNames = {QStringLiteral("StageHold"), QStringLiteral("StageCycling"),
                                           QStringLiteral("StageMeltCurve"), QStringLiteral("StageInfinite")};
    XlsxBook::Style plain;
    plain.border = true;
    plain.fill = Qt::white;
    row = 2;
    const LumaraAnalysisData::MethodInfo method = BLLInstance::getInstance()->getMethod();
    for (const LumaraAnalysisData::MethodStageInfo &stage : method.stages) {
        const QString type = stage.type >= 0 && stage.type < stageNames.size() ? stageNames.at(stage.type) : QString();
        const int first = row;
        for (const LumaraAnalysisData::MethodStepInfo &step : stage.steps) {
            book.writeString(row, 1, WellListFormat::fixedFigure(step.temperature), plain);
            book.writeString(row, 2, type, plain);
            book.writeNumber(row, 3, step.holdTime, plain);
            book.writeString(row, 4, WellListFormat::fixedFigure(step.rampRate), plain);
            book.writeNumber(row, 5, stage.cycles, plain);
            ++row;
        }
        // A merge takes its text into its first cell: the cycle count goes back in as a number.
        if (row - first >= 2) {
            book.mergeCells(first, 2, row - 1, 2, type, plain);
            book.mergeCells(first, 5, row - 1, 5, QString(), plain);
            book.writeNumber(first, 5, stage.cycles, plain);
        }
    }

    if (!book.save(filePath(QStringLiteral("/%1_Result_Table.xlsx").arg(stamp())))) {
        qWarning() << "Result workbook:" << book.errorText();
        m_report();
        return false;
    }
    return true;
}

// ---- Grey-value workbook -------------------------------------------------------------------

bool ExportJob::exportGrayValueTable()
{
    BLLInstance *bll = BLLInstance::getInstance();
    // Constant-memory mode: each row goes to disk as it is finished, so rows strictly in order.
    XlsxBook book(m_snapshot.folder, true);
    XlsxBook::Style style;
    style.bold = true;
    for (const WellListItem &w : m_snapshot.wells) {
        book.addSheet(w.wellName, w.wellId);
        QVector<uint> channels; // numbers 1..6; a target that is also the reference only once
        for (int index : bll->getWellChannelIndices(w.wellId)) {
            if (index >= 0 && index < 6 && !channels.contains(uint(index + 1)))
                channels.append(uint(index + 1));
        }
        QStringList headers;
        QVector<QVector<uint>> values;
        for (uint c : channels) {
            const QString name = bll->getFluorophoreName(c);
            headers.append(QStringLiteral("Chan%1_%2").arg(c).arg(name.isEmpty() ? QStringLiteral("ref") : name));
            values.append(bll->getAllDropletGrayValues(w.wellId, c));
        }
        headers << QStringLiteral("x-coordinate_in_pixel") << QStringLiteral("y-coordinate_in_pixel");
        for (int i = 0; i < headers.size(); ++i) {
            book.setColumnWidth(i + 1, 20);
            book.writeString(1, i + 1, headers.at(i), style);
        }
        const QVector<LumaraAnalysisData::DrpltInfo> &droplets =
            bll->getDropletExclude()->getImgAnalysisInfo(w.wellId).droplets;
        const int n = channels.size();
        // A row at a time across the module: one call and one style lookup per droplet.
        QVector<double> cells(n + 2);
        for (int d = 0; d < droplets.size(); ++d) {
            for (int c = 0; c < n; ++c)
                cells[c] = d < values.at(c).size() ? values.at(c).at(d) : 0;
            cells[n] = droplets.at(d).x;
            cells[n + 1] = droplets.at(d).y;
            if (!book.writeNumbers(d + 2, 1, cells.constData(), cells.size(), style))
                break;
        }
    }
    if (!book.save(filePath(QStringLiteral("/%1_GrayValue_Table.xlsx").arg(stamp())))) {
        qWarning() << "Grey-value workbook:" << book.errorText();
        m_report();
        return false;
    }
    return true;
}

// ---- Droplet images ------------------------------------------------------------------------

QString ExportJob::dropletImageName(const QString &packagePath)
{
    QString name = packagePath.section(QLatin1Char('/'), -1);
    name.remove(QStringLiteral(".tif"), Qt::CaseSensitive);
    return name;
}

bool ExportJob::exportDropletImages()
{
    BLLInstance *bll = BLLInstance::getInstance();
    const QList<uint> wells = m_snapshot.wellIds();
    const QList<uint> channels = bll->getSortedChannelsOfWells(wells);
    for (uint well : wells) {
        const LumaraAnalysisData::WellItemInfo info = bll->getWellGlobal(well);
        for (uint channel : channels) {
            // Reference channels outside 1..6 have no place in the image sets.
            if (channel < 1 || channel > 6)
                continue;
            const QImage &image = bll->getDropletExclude()->getWellImage(well, int(channel));
            if (image.isNull())
                continue;
            for (const QVector<QString> &set : info.imageNames) {
                if (int(channel) > set.size())
                    continue;
                const QString name = dropletImageName(set.at(int(channel) - 1));
                // An empty name would write a hidden "/.png", overwritten by every image.
                if (name.isEmpty())
                    continue;
                if (!image.save(imagePath(name), "PNG")) {
                    m_report();
                    return false;
                }
            }
        }
    }
    return true;
}

// ---- Plot images ---------------------------------------------------------------------------

QImage ExportJob::renderOnGuiThread(const std::function<QImage()> &draw) const
{
    if (m_gui) {
        QImage image;
        m_gui->run([&image, &draw] { image = draw(); });
        return image;
    }
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return draw();
    QImage image;
    QMetaObject::invokeMethod(app, [&image, &draw] { image = draw(); }, Qt::BlockingQueuedConnection);
    return image;
}

QString ExportJob::imagePath(const QString &name)
{
    return filePath(QLatin1Char('/') + CleanName::fileName(name, QStringLiteral(".png"), m_fileNames));
}

bool ExportJob::saveImage(const QImage &image, const QString &name)
{
    if (!image.isNull() && image.save(imagePath(name)))
        return true;
    m_report();
    return false;
}

QList<ExportJob::PointGroup> ExportJob::twoChannelPointGroups(const QList<uint> &wells, uint x, uint y)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const bool polygons = bll->getThldType() == LumaraAnalysisData::PolygonThreshold;
    const QString grey = QStringLiteral("#555555");
    QList<PointGroup> groups = {
        {polygons ? grey : getTwoChannelColor(int(x), int(y)), {}},
        {polygons ? grey : getChannelColor(int(y)), {}},
        {grey, {}},
        {polygons ? grey : getChannelColor(int(x)), {}},
    };
    for (uint well : wells) {
        const QVector<uint> xs = bll->getWellChannelGrayValues(well, x);
        const QVector<uint> ys = bll->getWellChannelGrayValues(well, y);
        const uint tx = bll->getThldByLine(well, x);
        const uint ty = bll->getThldByLine(well, y);
        for (int i = 0; i < xs.size(); ++i) {
            const uint gy = i < ys.size() ? ys.at(i) : 0;
            const QPointF point(xs.at(i), gy);
            int group = 2;
            if (!polygons) {
                // A value on the line is positive, as the page and the counts take it.
                const bool px = xs.at(i) >= tx;
                const bool py = gy >= ty;
                group = px && py ? 0 : (py ? 1 : (px ? 3 : 2));
            }
            groups[group].points.append(point);
        }
    }
    return groups;
}

ExportJob::HistogramImage ExportJob::histogramImage(const QList<uint> &wells, uint channel) const
{
    BLLInstance *bll = BLLInstance::getInstance();
    HistogramImage image;
    image.colour = getChannelColor(int(channel));
    image.title = channelTitle(channel);
    image.values = Histogram::getGrayValues(wells, channel);
    image.binWidth = Histogram::binWidthOf(image.values);
    // Without values there is no largest one: the axis still needs a range to stand on.
    const uint largest = image.values.isEmpty() ? 0u : *std::max_element(image.values.cbegin(), image.values.cend());
    image.upperLimit = int(largest) + 100;
    image.log = m_snapshot.histogramLog == 1;
    image.linesShown = bll->getThldType() != LumaraAnalysisData::PolygonThreshold && !wells.isEmpty();
    image.threshold = image.linesShown ? bll->getThldByLine(wells.first(), channel) : 0u;
    return image;
}

std::unique_ptr<QuorinHistogramPlot> ExportJob::buildHistogram(const HistogramImage &image)
{
    auto widget = std::make_unique<QuorinHistogramPlot>();
    widget->resize(ImageWidth, ImageHeight);
    setExportFonts(widget.get());
    widget->SetHistogramData(image.colour, image.binWidth, image.upperLimit, image.values);
    widget->SetTitleName(QwtPlot::xBottom, image.title);
    if (image.log) {
        widget->SetTitleName(QwtPlot::yLeft, Histogram::tr("Number of Droplets(log₁₀))"));
        widget->SetLogAxis(QwtPlot::yLeft);
    } else {
        widget->SetTitleName(QwtPlot::yLeft, Histogram::tr("Number of Droplets(Linear)"));
        widget->SetLinearAxis(QwtPlot::yLeft);
    }
    if (image.linesShown) {
        widget->SetHistogramThresholdSoildLineDraw(image.colour, 1.8);
        widget->SetHistogramThresholdDottedLineDraw(image.colour, 1.8);
        widget->SetHistogramThresholdSoildLineValue(image.threshold);
        widget->SetHistogramThresholdDottedLineValue(image.threshold);
    }
    widget->SetHistogramThresholdSoildLineVisible(image.linesShown);
    widget->SetHistogramThresholdDottedLineVisible(image.linesShown);
    // The bars set the grey axis; it reaches past the line as well, as on the page.
    ThresholdAxis().fitScaled(widget.get(), QwtPlot::xBottom,
                              image.linesShown ? QVector<double>{double(image.threshold)} : QVector<double>());
    widget->replot();
    return widget;
}

bool ExportJob::exportHistograms()
{
    const QList<uint> channels = BLLInstance::getInstance()->getChannelsOfWells(m_snapshot.wellIds());
    // One image per well and channel; no image over all wells.
    for (const WellListItem &w : m_snapshot.wells) {
        for (uint channel : channels) {
            if (!exportHistogram({w.wellId}, channel, w.wellName))
                return false;
        }
    }
    return true;
}

bool ExportJob::exportHistogram(const QList<uint> &wells, uint channel, const QString &name)
{
    const HistogramImage data = histogramImage(wells, channel);
    const QImage image = renderOnGuiThread([&data] { return grabWhole(buildHistogram(data).get()); });
    return saveImage(image, QStringLiteral("%1_Histogram_Plot_%2")
                                .arg(name, BLLInstance::getInstance()->getTargetName(channel)));
}

int ExportJob::maxDropletSpan(const QList<uint> &wells, uint channel)
{
    BLLInstance *bll = BLLInstance::getInstance();
    int largest = 0;
    for (uint well : wells)
        largest = std::max(largest, bll->getWellChannelGrayValues(well, channel).size());
    return dropletSpan(largest);
}

QVector<QPolygonF> ExportJob::thresholdLines(const QList<uint> &wells, uint channel, int span)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const bool lineMode = bll->getThldType() != LumaraAnalysisData::PolygonThreshold;
    // Every well takes the same room, unlike the 1D page where each takes its own count.
    DotLayout layout;
    QVector<uint> heights;
    for (int k = 0; k < wells.size(); ++k) {
        layout.spans.append(qMakePair(double(k) * span, double(k + 1) * span));
        heights.append(lineMode ? bll->getThldByLine(wells.at(k), channel) : 0u);
    }
    return ::thresholdLines(layout, heights);
}

ExportJob::OneDImage ExportJob::oneDImage(const QList<uint> &wells, uint channel) const
{
    BLLInstance *bll = BLLInstance::getInstance();
    OneDImage image;
    image.colour = getChannelColor(int(channel));
    image.title = channelTitle(channel);
    image.lineMode = bll->getThldType() != LumaraAnalysisData::PolygonThreshold;
    QVector<QVector<uint>> greys;
    int largest = 0;
    for (uint well : wells) {
        greys.append(bll->getWellChannelGrayValues(well, channel));
        largest = std::max(largest, greys.last().size());
    }
    image.span = dropletSpan(largest);
    image.lines = thresholdLines(wells, channel, image.span);
    int total = 0;
    for (const QVector<uint> &g : greys)
        total += g.size();
    image.points.reserve(total);
    for (int k = 0; k < greys.size(); ++k) {
        const double start = double(k) * image.span;
        for (int j = 0; j < greys.at(k).size(); ++j)
            image.points.append(QPointF(start + j, greys.at(k).at(j)));
    }
    for (uint well : wells) {
        auto it = std::find_if(m_snapshot.wells.cbegin(), m_snapshot.wells.cend(),
                               [well](const WellListItem &w) { return w.wellId == well; });
        image.labels.append(it == m_snapshot.wells.cend() ? QString() : it->wellNameId);
    }
    return image;
}

std::unique_ptr<Zetan1Plot> ExportJob::build1DPlot(const OneDImage &image)
{
    static const QString grey = QStringLiteral("#555555");
    auto widget = std::make_unique<Zetan1Plot>();
    widget->resize(ImageWidth, ImageHeight);
    widget->setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    setExportFonts(widget.get());
    widget->SetPlot1DPointsColor(image.lineMode ? image.colour : grey, grey, 3.0);
    widget->Set1DThresholdSoildLineDraw(image.colour, 1.8);
    widget->Set1DThresholdDottedLineDraw(image.colour, 1.8);
    // The lines first: they sort the points into those above and below.
    widget->setSolidThresholdLines(image.lines);
    widget->setDottedThresholdLines(image.lines);
    widget->setThresholdLinesVisible(image.lineMode);
    const bool oneWell = image.labels.size() == 1;
    widget->SetTitleName(QwtPlot::xBottom, oneWell ? QStringLiteral("Droplet Index") : QStringLiteral(" "));
    widget->SetTitleName(QwtPlot::yLeft, image.title);
    widget->SetPlot1DPoints(image.points);
    widget->Set1DXAxisDivInfo(image.labels, QStringLiteral("#888888"), 2.0);
    if (oneWell)
        widget->setAxisScale(QwtPlot::xBottom, 0, image.span);
    // The droplets and lines scale the grey axis; a line at its end reaches inside.
    QVector<double> heights;
    if (image.lineMode) {
        for (const QPolygonF &line : image.lines) {
            if (!line.isEmpty())
                heights.append(line.first().y());
        }
    }
    ThresholdAxis().fitScaled(widget.get(), QwtPlot::yLeft, heights);
    widget->replot();
    return widget;
}

bool ExportJob::export1DPlots()
{
    const QList<uint> wells = m_snapshot.wellIds();
    const QList<uint> channels = BLLInstance::getInstance()->getChannelsOfWells(wells);
    for (const WellListItem &w : m_snapshot.wells) {
        for (uint channel : channels) {
            if (!export1DPlot({w.wellId}, channel, w.wellName))
                return false;
        }
    }
    for (uint channel : channels) {
        if (!export1DPlot(wells, channel, QStringLiteral("All_Well")))
            return false;
    }
    return true;
}

bool ExportJob::export1DPlot(const QList<uint> &wells, uint channel, const QString &name)
{
    const OneDImage data = oneDImage(wells, channel);
    const QImage image = renderOnGuiThread([&data] { return grabWhole(build1DPlot(data).get()); });
    return saveImage(image, QStringLiteral("%1_1D_Dot_Plot_%2")
                                .arg(name, BLLInstance::getInstance()->getTargetName(channel)));
}

bool ExportJob::export2DPlots()
{
    const QList<uint> wells = m_snapshot.wellIds();
    for (const WellListItem &w : m_snapshot.wells) {
        if (!export2DPlot({w.wellId}, w.wellName))
            return false;
    }
    return wells.isEmpty() || export2DPlot(wells, QStringLiteral("All_Well"));
}

std::unique_ptr<Zt2DPlot> ExportJob::build2DPlot(const QList<uint> &wells,
                                                 const LumaraAnalysisData::Customized2DPlotInfo &plot) const
{
    BLLInstance *bll = BLLInstance::getInstance();
    const bool polygons = bll->getThldType() == LumaraAnalysisData::PolygonThreshold;
    const uint first = wells.value(0);
    const uint x = plot.xChannel;
    const uint y = plot.yChannel;
    auto widget = std::make_unique<Zt2DPlot>();
    widget->resize(ImageWidth, ImageHeight);
    widget->setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    setExportFonts(widget.get());
    widget->SetTitleName(QwtPlot::xBottom, channelTitle(x));
    widget->SetTitleName(QwtPlot::yLeft, channelTitle(y));
    if (polygons) {
        // Every stored polygon of the first well, whatever plot it belongs to.
        const QList<PolygonZoneInfo> zones = PolygonMgr::storedZonesOfWell(first);
        widget->setPolygons(zones);
        widget->setThresholdVisible(false);
    } else if (m_snapshot.individualMode == 1 && wells.size() > 1) {
        // Per-well thresholds mean nothing on an image of several wells.
        widget->setThresholdVisible(false);
    } else {
        const QVector<int> cached = m_snapshot.cachedThresholds.value(first, QVector<int>(6, 0));
        widget->setSolidXLinePen(getChannelColor(int(x)), 1.8);
        widget->setSolidYLinePen(getChannelColor(int(y)), 1.8);
        widget->setDottedXLinePen(getChannelColor(int(x)), 1.8);
        widget->setDottedYLinePen(getChannelColor(int(y)), 1.8);
        widget->setSolidThreshold(QPointF(cached.value(int(x) - 1), cached.value(int(y) - 1)));
        widget->setDottedThreshold(QPointF(bll->getThldByLine(first, x), bll->getThldByLine(first, y)));
        widget->setThresholdVisible(true);
    }
    for (const PointGroup &g : twoChannelPointGroups(wells, x, y))
        widget->addCurve(g.colour, g.points, 3.0);
    // The droplets scale both axes; they reach past the crosses' lines as well.
    if (widget->isThresholdVisible()) {
        const QPointF solid = widget->solidThreshold();
        const QPointF dotted = widget->dottedThreshold();
        ThresholdAxis().fitScaled(widget.get(), QwtPlot::xBottom, {solid.x(), dotted.x()});
        ThresholdAxis().fitScaled(widget.get(), QwtPlot::yLeft, {solid.y(), dotted.y()});
    }
    widget->replot();
    return widget;
}

bool ExportJob::export2DPlot(const QList<uint> &wells, const QString &name)
{
    BLLInstance *bll = BLLInstance::getInstance();
    for (const LumaraAnalysisData::Customized2DPlotInfo &plot : bll->getPlotGroupMgr()->get2DPlots()) {
        const QImage image = renderOnGuiThread([&] { return grabWhole(build2DPlot(wells, plot).get()); });
        if (!saveImage(image, QStringLiteral("%1_2D Dot Plot_%2_%3")
                                  .arg(name, bll->getTargetName(plot.xChannel), bll->getTargetName(plot.yChannel))))
            return false;
    }
    return true;
}

bool ExportJob::exportConcentrationGraphs()
{
    for (uint id : m_snapshot.rowIds) {
        if (!exportConcentrationGraph({id}, m_snapshot.rowNames.value(id)))
            return false;
    }
    return m_snapshot.rowIds.isEmpty() || exportConcentrationGraph(m_snapshot.rowIds, QStringLiteral("All_Well"));
}

std::unique_ptr<ZtConcentration> ExportJob::buildConcentrationChart(const QList<uint> &ids) const
{
    QString longest;
    // Unlike the page, no upper filter: the chart itself leaves non-finite values out.
    const QVector<ConcentrationGroup> groups =
        concentrationGroups(ids, m_snapshot.wellIds(), [](uint, double) { return true; }, &longest);
    const bool log = m_snapshot.concentrationLog == 1;
    auto widget = std::make_unique<ZtConcentration>();
    setExportFonts(widget.get());
    widget->SetTitleName(QwtPlot::yLeft, log ? QStringLiteral("cp/ul-Log") : QStringLiteral("cp/ul-Linear"));
    if (log)
        widget->setLogAxis();
    else
        widget->setLinearAxis();
    widget->setPlotSize(ImageWidth, ImageHeight);
    widget->resize(ImageWidth, ImageHeight);
    widget->setData(groups, longest);
    widget->replot();
    return widget;
}

bool ExportJob::exportConcentrationGraph(const QList<uint> &ids, const QString &name)
{
    const QImage image = renderOnGuiThread([&] { return grabWhole(buildConcentrationChart(ids).get()); });
    return saveImage(image, QStringLiteral("%1_concentration").arg(name));
}

bool ExportJob::exportUncertaintyCurves()
{
    const QList<LumaraAnalysisData::PopulationsInfo> populations =
        BLLInstance::getInstance()->getPopulationsMgr()->getPopulations();
    for (const LumaraAnalysisData::PopulationsInfo &p : populations) {
        for (uint id : m_snapshot.rowIds) {
            if (!exportUncertaintyCurve({id}, p.id, m_snapshot.rowNames.value(id)))
                return false;
        }
        if (!m_snapshot.rowIds.isEmpty() && !exportUncertaintyCurve(m_snapshot.rowIds, p.id, QStringLiteral("All_Well")))
            return false;
    }
    return true;
}

bool ExportJob::exportUncertaintyCurve(const QList<uint> &ids, uint population, const QString &name)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const QString populationName = bll->getPopulationsMgr()->getPopulationName(population);
    const QList<uint> wells = m_snapshot.wellIds();
    const bool log = m_snapshot.uncertaintyLog == 1;
    const QImage image = renderOnGuiThread([&] {
        // The merged rows' curves come from the result model, which lives on this thread.
        const QVector<UncertainlyPlotItem> items = uncertaintyItems(ids, wells, population);
        ZtUncertainly widget(12);
        setExportFonts(&widget);
        widget.SetTitleName(QwtPlot::xBottom,
                            log ? QStringLiteral("Concentration(cp/ul-Log)") : QStringLiteral("Concentration(cp/ul-Linear)"));
        widget.SetTitleName(QwtPlot::yLeft, populationName);
        if (log)
            widget.setLogAxis();
        else
            widget.setLinearAxis();
        widget.resize(ImageWidth, ImageHeight);
        widget.setData(items);
        widget.replot();
        return grabWhole(&widget);
    });
    return saveImage(image, QStringLiteral("%1_%2_uncertainly").arg(name, populationName));
}
