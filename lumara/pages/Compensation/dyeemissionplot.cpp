#include "pages/Compensation/dyeemissionplot.h"

#include "bll/bllinstance.h"
#include "bll/experimenteditmgr.h"
#include "bll/signaltransfer.h"
#include "shell/globalvalues.h"
#include "shell/imageactions.h"

#include <qwt_legend.h>
#include <qwt_picker_machine.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_picker.h>

#include <QDebug>
#include <QFile>
#include <QPen>

#include <cmath>

namespace {

struct SpectrumRow {
    const char *title;
    const char *resource;
    QColor colour;
    QStringList dyes;
};

const QVector<SpectrumRow> &spectrumRows()
{
    static const QVector<SpectrumRow> rows = {
        {"FAM", ":/Compensation/spectrum/emfam.txt", QColor(0, 175, 80), {"FAM"}},
        {"EvaGreen", ":/Compensation/spectrum/emsybr.txt", QColor(0, 175, 80), {"EvaGreen"}},
        {"ROX", ":/Compensation/spectrum/emrox.txt", QColor(254, 154, 90), {"ROX"}},
        {"HEX", ":/Compensation/spectrum/emhexvic.txt", QColor(218, 215, 7), {"HEX", "VIC"}},
        {"CY5", ":/Compensation/spectrum/emcy5.txt", QColor(255, 0, 0), {"CY5"}},
        {"Q670", ":/Compensation/spectrum/emq670.txt", QColor(255, 0, 0), {"Q670"}},
        {"CY5.5", ":/Compensation/spectrum/emcy5.5.txt", QColor(171, 1, 13), {"CY5.5"}},
        {"Quasar705", ":/Compensation/spectrum/emq705.txt", QColor(171, 1, 13), {"Quasar705"}},
        {"CY3", ":/Compensation/spectrum/emcy3.txt", QColor(152, 226, 8), {"CY3"}},
    };
    return rows;
}

bool readNumber(const QString &text, double *value)
{
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(*value);
}

} // namespace

Spectrogram::Spectrogram(QWidget *parent) : QwtBasic(parent)
{
    m_picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::CrossRubberBand,
                                 QwtPicker::AlwaysOn, canvas());
    m_picker->setStateMachine(new QwtPickerDragPointMachine);

    for (const SpectrumRow &row : spectrumRows()) {
        auto *curve = new QwtPlotCurve(QString::fromLatin1(row.title));
        QColor line = row.colour;
        line.setAlpha(255);
        QColor fill = row.colour;
        fill.setAlpha(90);
        curve->setPen(QPen(line, 2 * uiScaleFactor, Qt::SolidLine));
        curve->setBrush(fill);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        curve->setSamples(readSpectrum(QString::fromLatin1(row.resource)));
        curve->attach(this);
        m_curves.append({curve, row.dyes});
    }

    m_legend = new QwtLegend;
    m_legend->setLineWidth(6);
    insertLegend(m_legend, QwtPlot::RightLegend);

    for (const Curve &c : qAsConst(m_curves))
        c.curve->detach();
    replot();

    connect(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete, this, &Spectrogram::updateFuelShow);
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
}

Spectrogram::~Spectrogram()
{
    // Detached curves are no longer the plot's to delete.
    for (const Curve &c : qAsConst(m_curves)) {
        c.curve->detach();
        delete c.curve;
    }
}

QVector<QPointF> Spectrogram::readSpectrum(const QString &path)
{
    QVector<QPointF> points;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Cannot open file " << path << file.errorString();
        return points;
    }
    while (!file.atEnd()) {
        const QStringList parts = QString::fromUtf8(file.readLine()).split(QLatin1Char('\t'));
        double x = 0.0;
        double y = 0.0;
        // A blank or broken line would add (0, 0) and draw the curve back to the origin.
        if (parts.size() < 2 || !readNumber(parts.first(), &x) || !readNumber(parts.last(), &y))
            continue;
        points.append(QPointF(x, y * 100.0));
    }
    return points;
}

QStringList Spectrogram::shownCurves() const
{
    QStringList titles;
    for (const QwtPlotItem *item : itemList(QwtPlotItem::Rtti_PlotCurve))
        titles.append(item->title().text());
    return titles;
}

void Spectrogram::updateFuelShow()
{
    for (const Curve &c : qAsConst(m_curves))
        c.curve->detach();
    const QList<TargetChannelInfo> targets = BLLInstance::getInstance()->getExperimentEditMgr()->getTargetChannels();
    for (const TargetChannelInfo &target : targets) {
        for (const Curve &c : qAsConst(m_curves)) {
            if (c.dyes.contains(target.dyeName, Qt::CaseSensitive) && c.curve->plot() != this)
                c.curve->attach(this);
        }
    }
    replot();
}

void Spectrogram::mousePressEvent(QMouseEvent *event)
{
    ImageActionNames names{currentFileBaseName + QStringLiteral("_spectrogram.png"),
                           currentFileBaseName + QStringLiteral("_spectrogram.svg"), QStringLiteral("SetUp"),
                           QStringLiteral("Spectrogram")};
    names.helpScaled = false;
    plotImageActionPress(this, event, names);
    QwtBasic::mousePressEvent(event);
}

void Spectrogram::enterEvent(QEvent *event)
{
    plotImageActionEnter(this, QStringLiteral(":/Compensation/assets/cursor_help.png"),
                         QStringLiteral(":/Compensation/assets/cursor_save.png"));
    QwtBasic::enterEvent(event);
}

void Spectrogram::leaveEvent(QEvent *event)
{
    plotImageActionLeave(this);
    QwtBasic::leaveEvent(event);
}
