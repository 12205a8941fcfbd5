#include "pages/ViewResult/concentrationscaledraw.h"

#include "plotutil.h"

ConcentrationScaleDraw::ConcentrationScaleDraw(const QFont &labelFont, const QString &labelColor,
                                               const QMap<int, QString> &labels)
    : QuorinScaleDraw(labelFont, labelColor), m_labels(labels)
{
}

QwtText ConcentrationScaleDraw::label(double value) const
{
    return styledText(QwtText(m_labels.value(CorvelDetail::truncToInt(value))));
}
