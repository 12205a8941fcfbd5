#include "pages/Explore/explorescaledraw.h"

#include <qwt_text.h>

namespace {

QFont tickFont()
{
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(10);
    return font;
}

} // namespace

ExploreScaleDraw::ExploreScaleDraw(bool rotated) : QuorinScaleDraw(tickFont(), QStringLiteral("#222222"))
{
    if (rotated)
        setLabelRotation(45.0);
}

QwtText ExploreScaleDraw::label(double value) const
{
    return styledText(QwtText(QString::number(value, 'g')));
}
