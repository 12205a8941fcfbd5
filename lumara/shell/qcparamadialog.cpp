#include "shell/qcparamadialog.h"

#include "bll/bllinstance.h"
#include "bll/experimenteditmgr.h"
#include "qualityevaluation.h"
#include "shell/dialoghost.h"
#include "shell/globalvalues.h"
#include "shell/welllistformat.h"

#include <QQuickItem>
#include <QQuickWidget>

#include <cmath>

namespace {

QString percent(double fraction)
{
    // As the well list shows a figure that has none (a CV of values that are all 0).
    if (!std::isfinite(fraction))
        return WellListFormat::notAvailable();
    return QString::number(fraction * 100.0, 'f', 2) + QLatin1Char('%');
}

QString number(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 6) : WellListFormat::notAvailable();
}

// Negative figures are the statistics' mark for "undefined"; so is anything not finite.
bool defined(double value)
{
    return std::isfinite(value) && value >= 0.0;
}

} // namespace

QcParamaDialog::QcParamaDialog(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(int(599 * uiScaleFactor), int(502 * uiScaleFactor));
    m_view = hostQmlView(this, QUrl(QStringLiteral("qrc:/qml/QCParamDialog.qml")), true);
    m_root = m_view->rootObject();
    if (m_root) {
        connect(m_root, SIGNAL(sigYesBtn()), this, SIGNAL(sigYesBtn()));
        connect(m_root, SIGNAL(sigYesBtn()), this, SLOT(accept()));
    }
}

QcParamaDialog::~QcParamaDialog()
{
    delete m_view;
}

void QcParamaDialog::showQcParams(uint wellId, uint channelId)
{
    BLLInstance *bll = BLLInstance::getInstance();
    if (!m_root || bll->getThldType() != LumaraAnalysisData::LineThreshold)
        return;
    const LumaraAnalysisData::QcThresholdInfo limits = bll->getQcSettings();
    const DrpltQuality quality = QualityEvaluation::calDrpltQuality(
        bll->getWellChannelGrayValues(wellId, channelId), bll->getThldByLine(wellId, channelId), limits.rainRangeStddevNum);

    const double referenceCount = double(bll->getExperimentEditMgr()->getWellDropletNumber(wellId)) * limits.analyzableDrpltRatio;
    const double effectiveCount = double(bll->getWellDropletNum(wellId));

    const QVector<quint32> reference = bll->getWellChannelGrayValues(wellId, bll->getRefChannelId(wellId));
    const double referenceMean = QualityEvaluation::calMean(reference);
    const double referenceCv = QualityEvaluation::calCv(reference);

    const bool rsDefined = defined(quality.Rs);
    const bool rainDefined = defined(quality.rain);
    const QString undefined = QStringLiteral("!!!");

    m_root->setProperty("drpltNums", number(effectiveCount));
    m_root->setProperty("drpltRefNums", number(referenceCount));
    m_root->setProperty("posGyslMean", number(quality.posMean));
    m_root->setProperty("posCv", percent(quality.posCv));
    // Without its fraction, truncated toward zero.
    m_root->setProperty("ngGyslMean", std::isfinite(quality.negMean) ? QString::number(qint64(quality.negMean)) : WellListFormat::notAvailable());
    m_root->setProperty("negCv", percent(quality.negCv));
    m_root->setProperty("rfGyslMean", number(referenceMean));
    m_root->setProperty("rfCv", percent(referenceCv));
    m_root->setProperty("rfRefCv", percent(limits.rfuCv));
    m_root->setProperty("rsValue", rsDefined ? QString::number(quality.Rs, 'f', 2) : undefined);
    m_root->setProperty("rsRefValue", number(limits.rs));
    m_root->setProperty("rainValue", rainDefined ? percent(quality.rain) : undefined);
    m_root->setProperty("rainRefValue", percent(limits.rain));

    // True means the figure meets its limit.
    m_root->setProperty("drpltNumsColor", effectiveCount > referenceCount);
    m_root->setProperty("rfCvColor", limits.rfuCv > referenceCv);
    m_root->setProperty("rsValueColor", rsDefined && quality.Rs > limits.rs);
    m_root->setProperty("rainValueColor", rainDefined && limits.rain > quality.rain);
}
