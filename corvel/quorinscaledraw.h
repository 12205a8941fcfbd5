#pragma once
#include "corvel_global.h"

#include <QFont>
#include <QString>
#include <qwt_scale_draw.h>

// Scale draw whose tick labels carry a font and a colour of their own. Every plot of the
// system (and the program's own scale draws) builds on this one class.
class CORVEL_EXPORT QuorinScaleDraw : public QwtScaleDraw {
public:
    QuorinScaleDraw(const QFont &labelFont, const QString &labelColor);
    ~QuorinScaleDraw() override;

    QwtText label(double value) const override;

    QFont labelFont() const { return m_labelFont; }
    QString labelColor() const { return m_labelColor; }

protected:
    // The font and colour of this draw applied to a text; an empty or unknown colour name
    // keeps the palette's text colour.
    QwtText styledText(const QwtText &text) const;

private:
    QFont m_labelFont;
    QString m_labelColor;
};
