#pragma once
// Labelled 8-bit cut-outs for the droplet classifier: droplets (positive and negative, in any
// channel) against things that are not droplets (empty oil, haze, large bright blobs and
// debris), cut from synthetic chips the way the engine cuts its suspects: a square of the
// droplet mark's side around the point, from the channel image truncated to 8 bits.
#include "synthchip.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

namespace LumaraSynth {

enum class CutoutKind { Droplet, EmptyOil, Haze, BrightBlob, Debris };

struct Cutout {
    cv::Mat image; // CV_8UC1, side by side
    int label = 0; // 1: a droplet, 0: no droplet
    CutoutKind kind = CutoutKind::Droplet;
};

// Side of the droplet mark for a geometry: the smallest odd number not below the pitch.
int markSide(const Geometry &g);

// The 16-bit image truncated to 8 bits (value / 256), as the engine does.
cv::Mat toEightBit(const cv::Mat &img16);

// `perKind` cut-outs of each non-droplet kind and 4 * perKind droplets, from chips of the
// given volume made from `seed`. Deterministic.
std::vector<Cutout> makeCutouts(Volume volume, std::uint64_t seed, int perKind);

} // namespace LumaraSynth
