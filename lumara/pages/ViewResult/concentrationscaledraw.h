#pragma once
// Bottom scale of the concentration chart: each group centre is labelled with its row's name.
#include "quorinscaledraw.h"

#include <QMap>

class ConcentrationScaleDraw : public QuorinScaleDraw {
public:
    ConcentrationScaleDraw(const QFont &labelFont, const QString &labelColor, const QMap<int, QString> &labels);

    // The text of the key trunc(value); empty where no row sits.
    QwtText label(double value) const override;

    const QMap<int, QString> &labels() const { return m_labels; }

private:
    QMap<int, QString> m_labels;
};
