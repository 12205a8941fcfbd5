#include "cutouts.h"

#include <algorithm>
#include <cmath>

namespace LumaraSynth {

int markSide(const Geometry &g)
{
    int side = int(std::ceil(g.pitch - 1e-9));
    return side % 2 == 1 ? side : side + 1;
}

cv::Mat toEightBit(const cv::Mat &img16)
{
    cv::Mat out(img16.rows, img16.cols, CV_8UC1);
    for (int y = 0; y < img16.rows; ++y) {
        const std::uint16_t *s = img16.ptr<std::uint16_t>(y);
        std::uint8_t *d = out.ptr<std::uint8_t>(y);
        for (int x = 0; x < img16.cols; ++x)
            d[x] = std::uint8_t(s[x] >> 8);
    }
    return out;
}

namespace {

// Square of `side` centred on (x, y), kept inside the image.
cv::Mat cut(const cv::Mat &img8, double x, double y, int side)
{
    const int ix = int(std::lround(x)), iy = int(std::lround(y));
    const int x0 = std::clamp(ix - side / 2, 0, img8.cols - side);
    const int y0 = std::clamp(iy - side / 2, 0, img8.rows - side);
    return img8(cv::Rect(x0, y0, side, side)).clone();
}

double nearestDroplet(const Chip &chip, double x, double y)
{
    double best = 1e18;
    for (const Droplet &d : chip.droplets)
        best = std::min(best, std::hypot(d.x - x, d.y - y) - d.radius);
    return best;
}

bool nearArtefact(const Chip &chip, double x, double y, double margin, bool countHaze)
{
    for (const Artefact &a : chip.artefacts) {
        if (a.kind == ArtefactKind::Haze && !countHaze)
            continue;
        const double reach = a.kind == ArtefactKind::Haze ? 2.0 * a.size : a.size;
        if (std::hypot(a.x - x, a.y - y) < reach + margin)
            return true;
    }
    return false;
}

int anyChannel(Random &rnd)
{
    return rnd.below(ChannelCount);
}

} // namespace

std::vector<Cutout> makeCutouts(Volume volume, std::uint64_t seed, int perKind)
{
    std::vector<Cutout> out;
    if (perKind <= 0)
        return out;
    const Geometry g = geometryFor(volume);
    const int side = markSide(g);
    Random rnd(seed * 31ull + 5ull);
    const int size = std::max(256, int(16 * g.pitch)) / 4 * 4;

    int droplets = 0, oil = 0, haze = 0, blobs = 0, debris = 0;
    const int wantDroplets = 4 * perKind;
    for (int round = 0; round < 200; ++round) {
        if (droplets >= wantDroplets && oil >= perKind && haze >= perKind && blobs >= perKind && debris >= perKind)
            break;
        // A chip full of droplets with a few artefacts, and a sparse one to show oil.
        ChipPlan plan = planFor(volume, size, size, seed * 1000ull + std::uint64_t(round));
        plan.vignetting = rnd.uniform(0.0, 0.3);
        for (int c = 0; c < ChannelCount; ++c)
            plan.positiveFraction[c] = c == ReferenceChannel ? 0.0 : rnd.uniform(0.2, 0.6);
        plan.hazeCount = 2;
        plan.blobCount = 2;
        plan.debrisCount = 10;
        plan.emptyFraction = round % 2 == 0 ? 0.0 : 0.85;
        const Chip chip = makeChip(plan);
        std::array<cv::Mat, ChannelCount> img8;
        for (int c = 0; c < ChannelCount; ++c)
            img8[c] = toEightBit(chip.images[c]);
        const double edge = side / 2.0 + 1.0;
        auto inside = [&](double x, double y) {
            return x >= edge && y >= edge && x < chip.width - edge && y < chip.height - edge;
        };

        for (const Droplet &d : chip.droplets) {
            if (droplets >= wantDroplets)
                break;
            if (!inside(d.x, d.y) || rnd.uniform() > 0.25 || nearArtefact(chip, d.x, d.y, d.radius + 2.0, false))
                continue;
            Cutout c;
            c.image = cut(img8[size_t(anyChannel(rnd))], d.x, d.y, side);
            c.label = 1;
            c.kind = CutoutKind::Droplet;
            out.push_back(c);
            ++droplets;
        }
        for (const Artefact &a : chip.artefacts) {
            // A few points on each artefact: near the centre of debris, anywhere in the
            // middle of a blob or a glow.
            for (int k = 0; k < 3; ++k) {
                const double reach = a.kind == ArtefactKind::Debris ? 1.5 : 0.5 * a.size;
                const double ox = a.x + rnd.uniform(-reach, reach), oy = a.y + rnd.uniform(-reach, reach);
                const int channel = anyChannel(rnd);
                if (!inside(ox, oy))
                    continue;
                Cutout c;
                c.label = 0;
                switch (a.kind) {
                case ArtefactKind::Haze:
                    // Glow on empty oil only: a droplet under haze is still a droplet.
                    if (haze >= perKind || nearestDroplet(chip, ox, oy) < 2.0)
                        continue;
                    c.kind = CutoutKind::Haze;
                    ++haze;
                    break;
                case ArtefactKind::BrightBlob:
                    if (blobs >= perKind)
                        continue;
                    c.kind = CutoutKind::BrightBlob;
                    ++blobs;
                    break;
                case ArtefactKind::Debris:
                    if (debris >= perKind || nearestDroplet(chip, ox, oy) < 2.0)
                        continue;
                    c.kind = CutoutKind::Debris;
                    ++debris;
                    break;
                }
                c.image = cut(img8[size_t(channel)], ox, oy, side);
                out.push_back(c);
            }
        }
        for (int tries = 0; tries < 400 && oil < perKind; ++tries) {
            const double x = rnd.uniform(edge, chip.width - edge), y = rnd.uniform(edge, chip.height - edge);
            if (nearestDroplet(chip, x, y) < 2.0 || nearArtefact(chip, x, y, 2.0, true))
                continue;
            Cutout c;
            c.image = cut(img8[size_t(anyChannel(rnd))], x, y, side);
            c.label = 0;
            c.kind = CutoutKind::EmptyOil;
            out.push_back(c);
            ++oil;
        }
    }
    return out;
}

} // namespace LumaraSynth
