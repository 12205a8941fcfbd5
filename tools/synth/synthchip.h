#pragma once
// Synthetic chip images: hexagonally packed fluorescent droplets in oil, one 16-bit grey image
// per channel, together with the ground truth they were drawn from. Everything the project
// tests or trains on is made here, so the droplet geometry of each volume is defined here too.
#include <opencv2/core.hpp>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace LumaraSynth {

constexpr int ChannelCount = 6;
constexpr int ReferenceChannel = 2; // ROX: every droplet lights up
constexpr double MaxGrey = 65279.0; // images stay below 65280, the saturation mark

enum class Volume { Pl300, Pl600, Pl800, Pl3000 };

// How a droplet's level in a channel was drawn (the well shapes tell them apart).
enum class DrawnAs { Negative, Positive, Rain, Debris, Saturated, Low };

// Droplet geometry in pixels. Row spacing is pitch * sqrt(3) / 2.
struct Geometry {
    double radius = 10.0;
    double pitch = 23.0;
    double radiusJitter = 0.2;   // standard deviation, pixels
    double positionJitter = 0.3; // standard deviation, pixels
};

// The geometry the data-folder assets were made for.
Geometry geometryFor(Volume volume);
// The same droplets `factor` times larger, pitch and jitter with them.
Geometry scaledGeometry(const Geometry &g, double factor);
// "300pl", "600pl", "800pl", "3000pl".
const char *volumeName(Volume volume);
const std::array<Volume, 4> &allVolumes();

// How a droplet's brightness falls across it. Real optics and droplet shapes vary, so the
// recognition is tried on more than the one profile its assets were first made from.
enum class Profile {
    AntiAliased, // flat top, one-pixel linear edge
    Flat,        // flat top, hard edge: a pixel is in or out by its centre
    Soft,        // flat top, edge ramp a fifth of the radius wide on either side
    Dome,        // a lit sphere: brightness follows the depth through it
    Gaussian,    // peak at the centre, sigma half the radius
    BrightRim,   // dimmer centre, brightest at the edge
};
const char *profileName(Profile p);

enum class Packing {
    Lattice, // hexagonal at the geometry's pitch
    Tight,   // hexagonal, neighbours one pixel apart (touching at most, never overlapping)
    Random,  // random positions, never overlapping, about as many as the lattice holds
};
const char *packingName(Packing p);

enum class ArtefactKind {
    Haze,       // broad faint glow, sigma several droplet radii
    BrightBlob, // large bright disc (dust, bubble), several droplet radii wide
    Debris,     // small bright speck, a few pixels
};

struct Artefact {
    ArtefactKind kind = ArtefactKind::Debris;
    double x = 0.0;
    double y = 0.0;
    double size = 0.0;                       // sigma (haze) or radius (blob, debris)
    std::array<double, ChannelCount> amplitude{}; // grey added (haze) or reached (blob, debris)
};

struct Droplet {
    double x = 0.0; // centre, pixel coordinates (pixel centres at integers)
    double y = 0.0;
    double radius = 0.0;
    std::array<bool, ChannelCount> positive{};
    std::array<DrawnAs, ChannelCount> drawnAs{};
    std::array<double, ChannelCount> pureGrey{}; // before crosstalk
    std::array<double, ChannelCount> grey{};     // noiseless level after crosstalk
    double shading = 1.0;                        // vignetting factor at the centre
};

struct ChipPlan {
    int width = 512;  // rounded up to a multiple of 4
    int height = 512;
    Geometry geometry;
    Profile profile = Profile::AntiAliased;
    Packing packing = Packing::Lattice;
    int bitDepth = 16; // 8: the images are the 16-bit ones truncated to their high byte
    std::array<bool, ChannelCount> channelPresent{{true, true, true, true, true, true}};
    // Probability that a droplet is positive in a target channel (the reference ignores it).
    std::array<double, ChannelCount> positiveFraction{{0.2, 0.2, 0.0, 0.2, 0.2, 0.2}};
    double emptyFraction = 0.0; // probability that a lattice site holds no droplet

    double background = 800.0;
    double referenceGrey = 12000.0;
    double negativeGrey = 5000.0;
    double positiveGrey = 20000.0;
    double greySpread = 0.05; // droplet levels spread uniformly by +- this fraction
    double positiveSpread = -1.0; // the same for positive levels; below 0: greySpread

    // Pixel noise: standard deviation sqrt(readNoise^2 + shotGain * value). Noise a fixed share
    // f of the negatives' level is readNoise = f * negativeGrey with shotGain 0.
    double readNoise = 20.0;
    double shotGain = 1.0;

    // observed[c] = sum_k crosstalk[c][k] * pure[k] over the droplet levels. Identity: none.
    std::array<std::array<double, ChannelCount>, ChannelCount> crosstalk = identity();

    // Brightness falls to (1 - vignetting) at the image corners (quadratic in the radius).
    double vignetting = 0.0;
    // The image is this many bands of whole rows imaged apart, each band with the vignetting
    // centred on itself (a chip whose halves are imaged as two blocks).
    int shadingBands = 1;

    int hazeCount = 0;
    int blobCount = 0;
    int debrisCount = 0;
    // Channels the artefacts show in (a blob seen in one dye only, for instance).
    std::array<bool, ChannelCount> artefactChannels{{true, true, true, true, true, true}};

    // Levels are kept as drawn and pixels clip at 65535, as a sensor's do, so that droplets
    // drawn above full scale show saturated; otherwise levels and pixels stay below the
    // saturation mark.
    bool clipAtFullScale = false;
    // Called with every placed droplet (those the border cuts too) before crosstalk and
    // rendering: sets levels and classes of its own (pureGrey, positive, drawnAs) in place of
    // the two levels above. The plan's random numbers are drawn as they are without it.
    std::function<void(std::vector<Droplet> &)> drawLevels;

    std::uint64_t seed = 1;

    static std::array<std::array<double, ChannelCount>, ChannelCount> identity();
};

struct Chip {
    int width = 0;
    int height = 0;
    std::array<cv::Mat, ChannelCount> images; // CV_16UC1 (CV_8UC1 at bit depth 8); empty for absent channels
    std::vector<Droplet> droplets;              // every droplet whose centre lies in the image
    std::vector<Artefact> artefacts;
    cv::Mat shading; // CV_32FC1 vignetting factor per pixel: the matching flat field
};

// Deterministic for a given plan (seed included).
Chip makeChip(const ChipPlan &plan);

// The vignetting factor per pixel (CV_32FC1) of an image, 1 at the centre of each band of
// height / bands rows: the flat field that corrects it.
cv::Mat shadingField(int width, int height, double vignetting, int bands = 1);

// A plan with the geometry of a volume, everything else at the defaults.
ChipPlan planFor(Volume volume, int width, int height, std::uint64_t seed);

// Small deterministic generator shared by the tools (the standard distributions are not
// reproducible across library versions).
class Random {
public:
    explicit Random(std::uint64_t seed);
    double uniform();                   // [0, 1)
    double uniform(double lo, double hi); // [lo, hi)
    double normal();                    // mean 0, deviation 1
    int below(int n);                   // [0, n)

private:
    std::uint64_t m_state;
    bool m_haveSpare = false;
    double m_spare = 0.0;
};

} // namespace LumaraSynth
