#pragma once
// The validator of the threshold boxes: while typing it lets through what an integer box from
// 0 to ThresholdModel::MaxThreshold lets through, but it never rewrites the text. The integer
// validator's own fix-up, run when the box loses the focus, drops group separators and so turns
// "1,5" into "15": a number the user never saw would reach the threshold cache. Here the text
// stays as typed, and the page refuses it as no threshold.
#include <QIntValidator>

class ThresholdValidator : public QIntValidator {
    Q_OBJECT
public:
    explicit ThresholdValidator(QObject *parent = nullptr);

    void fixup(QString &input) const override;
};
