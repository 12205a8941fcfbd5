#include "quorinscaledraw.h"

#include <QColor>

QuorinScaleDraw::QuorinScaleDraw(const QFont &labelFont, const QString &labelColor)
    : m_labelFont(labelFont), m_labelColor(labelColor)
{
}

QuorinScaleDraw::~QuorinScaleDraw() = default;

QwtText QuorinScaleDraw::label(double value) const
{
    return styledText(QwtText(QStringLiteral("%1").arg(value)));
}

QwtText QuorinScaleDraw::styledText(const QwtText &text) const
{
    QwtText out(text);
    out.setFont(m_labelFont);
    const QColor colour(m_labelColor);
    if (colour.isValid())
        out.setColor(colour);
    return out;
}
