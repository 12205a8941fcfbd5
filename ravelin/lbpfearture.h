#pragma once
// Circular local-binary-pattern image with uniform-pattern labels.
#include "ravelin_global.h"

#include <QObject>

#include <opencv2/core.hpp>

#include <array>

class RAVELIN_EXPORT LBPFearture : public QObject {
    Q_OBJECT
public:
    explicit LBPFearture(QObject *parent = nullptr);
    ~LBPFearture() override;

    // 8-bit source; dst is an 8-bit image of (rows - 2 radius) by (cols - 2 radius) labels.
    // Up to 8 neighbours; other arguments leave dst empty.
    void circularLbp(cv::InputArray src, cv::OutputArray dst, int radius, int neighbors);

    // Label of every 8-bit code: 1, 2, ... for codes with at most two circular bit changes,
    // in ascending code order (58 labels), 0 for the rest.
    static const std::array<uchar, 256> &uniformTable();
};
