#include "synthchip.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace LumaraSynth {

namespace {

constexpr double Pi = 3.14159265358979323846;

// The share of `level - base` a pixel at distance d from the centre of a droplet of radius r
// receives, by profile.
double profileWeight(Profile p, double d, double r)
{
    switch (p) {
    case Profile::AntiAliased:
        return std::clamp(r + 0.5 - d, 0.0, 1.0);
    case Profile::Flat:
        return d <= r ? 1.0 : 0.0;
    case Profile::Soft: {
        const double w = std::max(0.5, 0.2 * r);
        return std::clamp((r + w - d) / (2.0 * w), 0.0, 1.0);
    }
    case Profile::Dome:
        return d < r ? std::sqrt(1.0 - (d / r) * (d / r)) : 0.0;
    case Profile::Gaussian: {
        const double sigma = 0.5 * r;
        return d < 4.0 * sigma ? std::exp(-0.5 * d * d / (sigma * sigma)) : 0.0;
    }
    case Profile::BrightRim: {
        const double q = std::min(1.0, d / r);
        return (0.6 + 0.4 * q * q * q * q) * std::clamp(r + 0.5 - d, 0.0, 1.0);
    }
    }
    return 0.0;
}

// How far from the centre a profile reaches.
double profileReach(Profile p, double r)
{
    switch (p) {
    case Profile::Soft:
        return r + std::max(0.5, 0.2 * r) + 1.0;
    case Profile::Gaussian:
        return 2.0 * r + 1.0;
    default:
        return r + 1.0;
    }
}

// Adds `level - base` weighted by the droplet's profile.
void drawDroplet(cv::Mat &img, Profile profile, double cx, double cy, double r, double level, double base)
{
    const double reach = profileReach(profile, r);
    const int x0 = std::max(0, int(std::floor(cx - reach)));
    const int x1 = std::min(img.cols - 1, int(std::ceil(cx + reach)));
    const int y0 = std::max(0, int(std::floor(cy - reach)));
    const int y1 = std::min(img.rows - 1, int(std::ceil(cy + reach)));
    const double delta = level - base;
    for (int y = y0; y <= y1; ++y) {
        float *row = img.ptr<float>(y);
        for (int x = x0; x <= x1; ++x) {
            const double w = profileWeight(profile, std::hypot(x - cx, y - cy), r);
            if (w > 0.0)
                row[x] += float(w * delta);
        }
    }
}

// Centres of random, never overlapping droplets over the area [x0, x1) x [y0, y1): darts
// thrown until `wanted` landed or twenty times as many missed.
std::vector<std::pair<double, double>> randomSites(Random &rnd, double x0, double y0, double x1, double y1,
                                                   double minDistance, int wanted)
{
    std::vector<std::pair<double, double>> sites;
    const double cell = minDistance;
    const int cols = std::max(1, int(std::ceil((x1 - x0) / cell)));
    const int rows = std::max(1, int(std::ceil((y1 - y0) / cell)));
    std::vector<std::vector<int>> grid(size_t(cols) * size_t(rows));
    auto cellOf = [&](double x, double y) {
        return std::make_pair(std::clamp(int((x - x0) / cell), 0, cols - 1), std::clamp(int((y - y0) / cell), 0, rows - 1));
    };
    int misses = 0;
    while (int(sites.size()) < wanted && misses < 20 * wanted) {
        const double x = rnd.uniform(x0, x1), y = rnd.uniform(y0, y1);
        const auto [cx, cy] = cellOf(x, y);
        bool free = true;
        for (int gy = std::max(0, cy - 1); gy <= std::min(rows - 1, cy + 1) && free; ++gy) {
            for (int gx = std::max(0, cx - 1); gx <= std::min(cols - 1, cx + 1) && free; ++gx) {
                for (int k : grid[size_t(gy) * size_t(cols) + size_t(gx)]) {
                    if (std::hypot(sites[size_t(k)].first - x, sites[size_t(k)].second - y) < minDistance) {
                        free = false;
                        break;
                    }
                }
            }
        }
        if (!free) {
            ++misses;
            continue;
        }
        grid[size_t(cy) * size_t(cols) + size_t(cx)].push_back(int(sites.size()));
        sites.emplace_back(x, y);
    }
    return sites;
}

// Raises pixels towards `level` by disc coverage (an opaque bright object on top).
void drawOpaqueDisc(cv::Mat &img, double cx, double cy, double r, double level)
{
    const int x0 = std::max(0, int(std::floor(cx - r - 1)));
    const int x1 = std::min(img.cols - 1, int(std::ceil(cx + r + 1)));
    const int y0 = std::max(0, int(std::floor(cy - r - 1)));
    const int y1 = std::min(img.rows - 1, int(std::ceil(cy + r + 1)));
    for (int y = y0; y <= y1; ++y) {
        float *row = img.ptr<float>(y);
        for (int x = x0; x <= x1; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            const double cover = std::clamp(r + 0.5 - d, 0.0, 1.0);
            if (cover > 0.0 && level > row[x])
                row[x] = float(row[x] + cover * (level - row[x]));
        }
    }
}

void addGaussian(cv::Mat &img, double cx, double cy, double sigma, double amplitude)
{
    const double reach = 3.0 * sigma;
    const int x0 = std::max(0, int(std::floor(cx - reach)));
    const int x1 = std::min(img.cols - 1, int(std::ceil(cx + reach)));
    const int y0 = std::max(0, int(std::floor(cy - reach)));
    const int y1 = std::min(img.rows - 1, int(std::ceil(cy + reach)));
    const double k = -0.5 / (sigma * sigma);
    for (int y = y0; y <= y1; ++y) {
        float *row = img.ptr<float>(y);
        for (int x = x0; x <= x1; ++x) {
            const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            row[x] += float(amplitude * std::exp(k * d2));
        }
    }
}

} // namespace

Random::Random(std::uint64_t seed) : m_state(seed ^ 0x9E3779B97F4A7C15ull) {}

double Random::uniform()
{
    // splitmix64
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);
}

double Random::uniform(double lo, double hi)
{
    return lo + (hi - lo) * uniform();
}

double Random::normal()
{
    if (m_haveSpare) {
        m_haveSpare = false;
        return m_spare;
    }
    double u;
    do {
        u = uniform();
    } while (u <= 0.0);
    const double v = uniform();
    const double mag = std::sqrt(-2.0 * std::log(u));
    m_spare = mag * std::sin(2.0 * Pi * v);
    m_haveSpare = true;
    return mag * std::cos(2.0 * Pi * v);
}

int Random::below(int n)
{
    if (n <= 0)
        return 0;
    return std::min(n - 1, int(uniform() * n));
}

std::array<std::array<double, ChannelCount>, ChannelCount> ChipPlan::identity()
{
    std::array<std::array<double, ChannelCount>, ChannelCount> m{};
    for (int i = 0; i < ChannelCount; ++i)
        m[i][i] = 1.0;
    return m;
}

Geometry geometryFor(Volume volume)
{
    // Radii follow the cube root of the volume (300 : 600 : 800 : 3000 pl gives
    // 1 : 1.26 : 1.39 : 2.15), scaled so that the smallest droplets stay well resolved and
    // the largest keep test images small.
    Geometry g;
    switch (volume) {
    case Volume::Pl300:
        g.radius = 6.0;
        g.pitch = 14.0;
        break;
    case Volume::Pl600:
        g.radius = 8.0;
        g.pitch = 18.0;
        break;
    case Volume::Pl800:
        g.radius = 10.0;
        g.pitch = 23.0;
        break;
    case Volume::Pl3000:
        g.radius = 13.0;
        g.pitch = 30.0;
        break;
    }
    g.radiusJitter = 0.02 * g.radius;
    g.positionJitter = 0.02 * g.pitch;
    return g;
}

Geometry scaledGeometry(const Geometry &g, double factor)
{
    Geometry s = g;
    s.radius *= factor;
    s.pitch *= factor;
    s.radiusJitter *= factor;
    s.positionJitter *= factor;
    return s;
}

const char *profileName(Profile p)
{
    switch (p) {
    case Profile::AntiAliased:
        return "anti-aliased";
    case Profile::Flat:
        return "flat";
    case Profile::Soft:
        return "soft";
    case Profile::Dome:
        return "dome";
    case Profile::Gaussian:
        return "gaussian";
    case Profile::BrightRim:
        return "bright-rim";
    }
    return "";
}

const char *packingName(Packing p)
{
    switch (p) {
    case Packing::Lattice:
        return "lattice";
    case Packing::Tight:
        return "tight";
    case Packing::Random:
        return "random";
    }
    return "";
}

const char *volumeName(Volume volume)
{
    switch (volume) {
    case Volume::Pl300:
        return "300pl";
    case Volume::Pl600:
        return "600pl";
    case Volume::Pl800:
        return "800pl";
    case Volume::Pl3000:
        return "3000pl";
    }
    return "";
}

const std::array<Volume, 4> &allVolumes()
{
    static const std::array<Volume, 4> all{{Volume::Pl300, Volume::Pl600, Volume::Pl800, Volume::Pl3000}};
    return all;
}

ChipPlan planFor(Volume volume, int width, int height, std::uint64_t seed)
{
    ChipPlan s;
    s.width = width;
    s.height = height;
    s.geometry = geometryFor(volume);
    s.seed = seed;
    return s;
}

cv::Mat shadingField(int width, int height, double vignetting, int bands)
{
    // 1 at the centre, 1 - vignetting at the corners of each band.
    cv::Mat shading(height, width, CV_32FC1);
    const int bandHeight = bands > 0 ? height / bands : height;
    const double cx = (width - 1) / 2.0, cy = (bandHeight - 1) / 2.0;
    const double rmax2 = cx * cx + cy * cy;
    for (int y = 0; y < height; ++y) {
        float *row = shading.ptr<float>(y);
        const int by = bandHeight > 0 ? y % bandHeight : y;
        for (int x = 0; x < width; ++x) {
            const double r2 = rmax2 > 0 ? ((x - cx) * (x - cx) + (by - cy) * (by - cy)) / rmax2 : 0.0;
            row[x] = float(1.0 - vignetting * r2);
        }
    }
    return shading;
}

Chip makeChip(const ChipPlan &plan)
{
    if (plan.width <= 0 || plan.height <= 0)
        throw std::invalid_argument("chip size must be positive");
    const Geometry &g = plan.geometry;
    if (!(g.radius > 0.5) || !(g.pitch > 1.0))
        throw std::invalid_argument("droplet radius and pitch must be positive");
    if (plan.bitDepth != 8 && plan.bitDepth != 16)
        throw std::invalid_argument("bit depth must be 8 or 16");
    if (plan.shadingBands < 1 || plan.height % plan.shadingBands != 0)
        throw std::invalid_argument("the shading bands must divide the image height");

    Chip chip;
    chip.width = (plan.width + 3) / 4 * 4;
    chip.height = plan.height;
    Random rnd(plan.seed);

    chip.shading = shadingField(chip.width, chip.height, plan.vignetting, plan.shadingBands);

    // Droplets on a hexagonal lattice with a random phase, covering the image, or at random
    // sites as many as such a lattice holds.
    const double pitch = plan.packing == Packing::Tight ? std::min(g.pitch, 2.0 * g.radius + 1.0) : g.pitch;
    const double rowStep = pitch * std::sqrt(3.0) / 2.0;
    const double phaseX = rnd.uniform(0.0, pitch);
    const double phaseY = rnd.uniform(0.0, rowStep);
    const int rows = int(std::ceil((chip.height + 2 * pitch) / rowStep)) + 1;
    const int cols = int(std::ceil((chip.width + 2 * pitch) / pitch)) + 1;
    std::vector<std::pair<double, double>> sites;
    if (plan.packing == Packing::Random) {
        // Positions stay unjittered here and when tight: jitter could make neighbours overlap.
        Random placement(plan.seed * 6364136223846793005ull + 1442695040888963407ull);
        const double x0 = -pitch, y0 = -pitch, x1 = chip.width + pitch, y1 = chip.height + pitch;
        const int wanted = int((x1 - x0) * (y1 - y0) / (pitch * rowStep));
        sites = randomSites(placement, x0, y0, x1, y1, 2.0 * 1.1 * g.radius + 1.0, wanted);
    } else {
        for (int k = 0; k < rows; ++k)
            for (int j = 0; j < cols; ++j)
                sites.emplace_back(phaseX - pitch + j * pitch + ((k & 1) ? pitch / 2.0 : 0.0), phaseY - pitch + k * rowStep);
    }
    const double jitterLimit = plan.packing == Packing::Lattice ? 0.1 * pitch : 0.0;
    std::vector<Droplet> drawn; // also those cut by the border
    for (const auto &[xBase, yBase] : sites) {
        // Draw every random number of a site, so that skipping a site for being empty
        // or outside leaves the rest of the chip unchanged.
        const double dx = g.positionJitter * rnd.normal();
        const double dy = g.positionJitter * rnd.normal();
        const double dr = g.radiusJitter * rnd.normal();
        const bool empty = rnd.uniform() < plan.emptyFraction;
        Droplet d;
        d.x = xBase + std::clamp(dx, -jitterLimit, jitterLimit);
        d.y = yBase + std::clamp(dy, -jitterLimit, jitterLimit);
        // Tight neighbours may touch but not overlap.
        const double grow = plan.packing == Packing::Tight ? std::min(0.1 * g.radius, 0.5) : 0.1 * g.radius;
        d.radius = std::max(0.5, g.radius + std::clamp(dr, -0.1 * g.radius, grow));
        for (int c = 0; c < ChannelCount; ++c) {
            // One draw places the level within whichever spread applies; written as the
            // uniform(lo, hi) it replaces, so that plans without a spread of their own for the
            // positives draw the chips they always drew.
            const double u = rnd.uniform();
            const double gs = plan.greySpread;
            const double spread = -gs + (gs - -gs) * u;
            const bool pos = rnd.uniform() < plan.positiveFraction[c];
            if (c == ReferenceChannel) {
                d.positive[c] = true;
                d.drawnAs[c] = DrawnAs::Positive;
                d.pureGrey[c] = plan.referenceGrey * (1.0 + spread);
            } else if (pos) {
                const double ps = plan.positiveSpread < 0.0 ? gs : plan.positiveSpread;
                d.positive[c] = true;
                d.drawnAs[c] = DrawnAs::Positive;
                d.pureGrey[c] = plan.positiveGrey * (1.0 + (-ps + (ps - -ps) * u));
            } else {
                d.pureGrey[c] = plan.negativeGrey * (1.0 + spread);
            }
        }
        if (empty)
            continue;
        if (d.x < -g.radius - 1 || d.y < -g.radius - 1 || d.x > chip.width + g.radius || d.y > chip.height + g.radius)
            continue;
        drawn.push_back(d);
    }
    if (plan.drawLevels)
        plan.drawLevels(drawn);
    const double topLevel = plan.clipAtFullScale ? std::numeric_limits<double>::infinity() : MaxGrey;
    for (Droplet &d : drawn) {
        for (int c = 0; c < ChannelCount; ++c) {
            double v = 0.0;
            for (int k2 = 0; k2 < ChannelCount; ++k2)
                v += plan.crosstalk[c][k2] * d.pureGrey[k2];
            d.grey[c] = std::min(v, topLevel);
        }
        const int ix = std::clamp(int(std::lround(d.x)), 0, chip.width - 1);
        const int iy = std::clamp(int(std::lround(d.y)), 0, chip.height - 1);
        d.shading = chip.shading.at<float>(iy, ix);
        if (d.x >= 0.0 && d.y >= 0.0 && d.x < chip.width && d.y < chip.height)
            chip.droplets.push_back(d);
    }

    // Artefacts: positions and sizes first, then per-channel amplitudes.
    auto addArtefacts = [&](ArtefactKind kind, int count) {
        for (int i = 0; i < count; ++i) {
            Artefact a;
            a.kind = kind;
            a.x = rnd.uniform(0.0, chip.width);
            a.y = rnd.uniform(0.0, chip.height);
            switch (kind) {
            case ArtefactKind::Haze:
                a.size = g.radius * rnd.uniform(3.0, 6.0);
                for (int c = 0; c < ChannelCount; ++c)
                    a.amplitude[c] = (c == ReferenceChannel ? 0.3 : 1.0) * rnd.uniform(4000.0, 9000.0);
                break;
            case ArtefactKind::BrightBlob:
                a.size = g.radius * rnd.uniform(2.5, 4.0);
                for (int c = 0; c < ChannelCount; ++c)
                    a.amplitude[c] = rnd.uniform(25000.0, 45000.0);
                break;
            case ArtefactKind::Debris:
                a.size = rnd.uniform(1.0, std::max(1.5, 0.35 * g.radius));
                for (int c = 0; c < ChannelCount; ++c)
                    a.amplitude[c] = rnd.uniform(15000.0, 50000.0);
                break;
            }
            for (int c = 0; c < ChannelCount; ++c) {
                if (!plan.artefactChannels[c])
                    a.amplitude[c] = 0.0;
            }
            chip.artefacts.push_back(a);
        }
    };
    addArtefacts(ArtefactKind::Haze, plan.hazeCount);
    addArtefacts(ArtefactKind::BrightBlob, plan.blobCount);
    addArtefacts(ArtefactKind::Debris, plan.debrisCount);

    const double topPixel = plan.clipAtFullScale ? 65535.0 : MaxGrey;
    cv::Mat level(chip.height, chip.width, CV_32FC1);
    for (int c = 0; c < ChannelCount; ++c) {
        // Noise is drawn for every channel, present or not, so that switching a channel off
        // leaves the others as they were.
        Random noise(plan.seed * 1000003ull + std::uint64_t(c) * 7919ull + 17ull);
        if (!plan.channelPresent[c])
            continue;
        level.setTo(plan.background);
        for (const Droplet &d : drawn)
            drawDroplet(level, plan.profile, d.x, d.y, d.radius, d.grey[c], plan.background);
        for (const Artefact &a : chip.artefacts) {
            if (!plan.artefactChannels[c])
                continue;
            switch (a.kind) {
            case ArtefactKind::Haze:
                addGaussian(level, a.x, a.y, a.size, a.amplitude[c]);
                break;
            case ArtefactKind::BrightBlob:
            case ArtefactKind::Debris:
                drawOpaqueDisc(level, a.x, a.y, a.size, a.amplitude[c]);
                break;
            }
        }
        cv::Mat out(chip.height, chip.width, plan.bitDepth == 8 ? CV_8UC1 : CV_16UC1);
        for (int y = 0; y < chip.height; ++y) {
            const float *src = level.ptr<float>(y);
            const float *sh = chip.shading.ptr<float>(y);
            for (int x = 0; x < chip.width; ++x) {
                const double v = double(src[x]) * sh[x];
                const double sd = std::sqrt(plan.readNoise * plan.readNoise + plan.shotGain * std::max(v, 0.0));
                const double n = v + sd * noise.normal();
                const auto value = std::uint16_t(std::lround(std::clamp(n, 0.0, topPixel)));
                if (plan.bitDepth == 8)
                    out.ptr<std::uint8_t>(y)[x] = std::uint8_t(value >> 8);
                else
                    out.ptr<std::uint16_t>(y)[x] = value;
            }
        }
        chip.images[c] = out;
    }
    return chip;
}

} // namespace LumaraSynth
