#pragma once
// Left scale of the uncertainty chart: whole percents.
#include <qwt_scale_draw.h>

class UncertainlyScaleDraw : public QwtScaleDraw {
public:
    explicit UncertainlyScaleDraw(int labelPixelSize);

    // trunc(value) followed by "%", in "Roboto" at the label size; the smallest size (that of
    // an unscaled screen) is drawn lighter.
    QwtText label(double value) const override;

private:
    int m_labelPixelSize;
};
