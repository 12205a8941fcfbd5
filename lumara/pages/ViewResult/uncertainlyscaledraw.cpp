#include "pages/ViewResult/uncertainlyscaledraw.h"

#include "plotutil.h"

#include <QColor>
#include <QFont>

UncertainlyScaleDraw::UncertainlyScaleDraw(int labelPixelSize) : m_labelPixelSize(labelPixelSize) {}

QwtText UncertainlyScaleDraw::label(double value) const
{
    QwtText text(QString::number(CorvelDetail::truncToInt(value)) + QLatin1Char('%'));
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(m_labelPixelSize);
    text.setFont(font);
    text.setColor(m_labelPixelSize == 12 ? QColor(85, 85, 85, 255) : QColor(51, 51, 51, 255));
    return text;
}
