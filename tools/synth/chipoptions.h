#pragma once
// Chip appearances chosen by name, as the chip maker's command line and the recognition sweep
// give them: the options are shares and factors of the volume's own levels and geometry, so
// that one setting means the same whatever else is chosen.
#include "synthchip.h"

#include <string>
#include <vector>

namespace LumaraSynth {

struct ChipOptions {
    Volume volume = Volume::Pl800;
    int width = 512;
    int height = 512;
    std::uint64_t seed = 1;
    Profile profile = Profile::AntiAliased;
    double radiusScale = 1.0; // droplets and pitch scaled from the volume's own
    Packing packing = Packing::Lattice;
    double emptyFraction = 0.0;
    double noise = -1.0;     // deviation as a share of the negatives' level; below 0: the plan's own
    double vignetting = 0.0;
    double negatives = -1.0; // negatives' level over the background; below 0: the plan's own
    double background = -1.0; // grey of the oil; below 0: the plan's own
    // Positives' level over the negatives', drawn per droplet from positivesLow to
    // positivesHigh; below 0: the plan's own level.
    double positivesLow = -1.0;
    double positivesHigh = -1.0;
    double positiveFraction = -1.0; // share of positives in every target channel; below 0: the plan's
    int bits = 16;
    int sets = 1;            // image sets the chip is cut into, top to bottom
    bool reference = true;   // false: no reference channel, recognition on a target channel
    int haze = 0;
    int blobs = 0;
    int debris = 0;
};

// Sets the option `name` (without the leading dashes) from `value`. False, with a message,
// for an unknown name or a value out of range.
bool setChipOption(ChipOptions &o, const std::string &name, const std::string &value, std::string *error);
// Every option name setChipOption knows, for usage text.
const std::vector<std::string> &chipOptionNames();

ChipPlan chipPlanOf(const ChipOptions &o);

// The chip's images cut into `sets` blocks of whole rows, top to bottom; the first row of
// block k is k * (height / sets). Empty channels stay empty.
std::vector<std::array<cv::Mat, ChannelCount>> imageSets(const Chip &chip, int sets);

} // namespace LumaraSynth
