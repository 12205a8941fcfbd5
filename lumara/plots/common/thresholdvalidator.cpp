#include "plots/common/thresholdvalidator.h"

#include "plots/common/thresholdmodel.h"

ThresholdValidator::ThresholdValidator(QObject *parent) : QIntValidator(0, int(ThresholdModel::MaxThreshold), parent) {}

void ThresholdValidator::fixup(QString &input) const
{
    Q_UNUSED(input)
}
