// mksynth: writes one synthetic chip as per-channel 16-bit TIFFs and a ground-truth CSV.
//   mksynth <out-prefix> [300pl|600pl|800pl|3000pl] [width] [height] [seed]
//           [--vignetting v] [--haze n] [--blobs n] [--debris n] [--empty f]
#include "synthchip.h"

#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace LumaraSynth;

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <out-prefix> [volume] [width] [height] [seed] [options]\n", argv[0]);
        return 2;
    }
    Volume volume = Volume::Pl800;
    int width = 512, height = 512;
    unsigned long long seed = 1;
    int positional = 0;
    double vignetting = 0.0, empty = 0.0;
    int haze = 0, blobs = 0, debris = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char * {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--vignetting")
            vignetting = std::atof(next());
        else if (a == "--haze")
            haze = std::atoi(next());
        else if (a == "--blobs")
            blobs = std::atoi(next());
        else if (a == "--debris")
            debris = std::atoi(next());
        else if (a == "--empty")
            empty = std::atof(next());
        else if (positional == 0) {
            bool found = false;
            for (Volume v : allVolumes()) {
                if (a == volumeName(v)) {
                    volume = v;
                    found = true;
                }
            }
            if (!found) {
                std::fprintf(stderr, "unknown volume %s\n", a.c_str());
                return 2;
            }
            ++positional;
        } else if (positional == 1) {
            width = std::atoi(a.c_str());
            ++positional;
        } else if (positional == 2) {
            height = std::atoi(a.c_str());
            ++positional;
        } else {
            seed = std::strtoull(a.c_str(), nullptr, 10);
        }
    }
    ChipPlan plan = planFor(volume, width, height, seed);
    plan.vignetting = vignetting;
    plan.hazeCount = haze;
    plan.blobCount = blobs;
    plan.debrisCount = debris;
    plan.emptyFraction = empty;
    const Chip chip = makeChip(plan);
    const std::string prefix = argv[1];
    for (int c = 0; c < ChannelCount; ++c) {
        if (chip.images[c].empty())
            continue;
        const std::string path = prefix + "_ch" + std::to_string(c) + ".tif";
        if (!cv::imwrite(path, chip.images[c])) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    const std::string csv = prefix + "_truth.csv";
    FILE *f = std::fopen(csv.c_str(), "w");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", csv.c_str());
        return 1;
    }
    std::fprintf(f, "x,y,radius,shading");
    for (int c = 0; c < ChannelCount; ++c)
        std::fprintf(f, ",pos%d,grey%d", c, c);
    std::fprintf(f, "\n");
    for (const Droplet &d : chip.droplets) {
        std::fprintf(f, "%.3f,%.3f,%.3f,%.4f", d.x, d.y, d.radius, d.shading);
        for (int c = 0; c < ChannelCount; ++c)
            std::fprintf(f, ",%d,%.1f", d.positive[c] ? 1 : 0, d.grey[c]);
        std::fprintf(f, "\n");
    }
    std::fclose(f);
    std::printf("%zu droplets, %dx%d\n", chip.droplets.size(), chip.width, chip.height);
    return 0;
}
