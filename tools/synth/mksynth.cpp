// mksynth: writes one synthetic chip as per-channel TIFFs and a ground-truth CSV.
//   mksynth <out-prefix> [300pl|600pl|800pl|3000pl] [width] [height] [seed] [--option value ...]
// Options (see chipoptions.h): --profile anti-aliased|flat|soft|dome|gaussian|bright-rim,
// --radius f, --packing lattice|gaps|tight|random, --empty f, --noise f, --vignetting f,
// --negatives f, --background grey, --positives f|low-high, --positive-fraction f, --bits 8|16, --sets 1|2, --recognise-on reference|classes, --haze n,
// --blobs n, --debris n, and --volume, --width, --height, --seed as the positional ones.
// With two sets the images are <prefix>_set<k>_ch<c>.tif, the halves of the chip top to
// bottom; the truth gives each droplet's set and its row within the set.
#include "chipoptions.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace LumaraSynth;

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::string names;
        for (const std::string &n : chipOptionNames())
            names += " --" + n;
        std::fprintf(stderr, "usage: %s <out-prefix> [volume] [width] [height] [seed] [options]\noptions:%s\n",
                     argv[0], names.c_str());
        return 2;
    }
    ChipOptions o;
    const char *const positionalNames[] = {"volume", "width", "height", "seed"};
    int positional = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        std::string error;
        bool ok = false;
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a.c_str());
                return 2;
            }
            ok = setChipOption(o, a.substr(2), argv[++i], &error);
        } else if (positional < 4) {
            ok = setChipOption(o, positionalNames[positional++], a, &error);
        } else {
            error = "unexpected argument " + a;
        }
        if (!ok) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
    }
    const Chip chip = makeChip(chipPlanOf(o));
    const std::string prefix = argv[1];
    const auto sets = imageSets(chip, o.sets);
    for (size_t k = 0; k < sets.size(); ++k) {
        for (int c = 0; c < ChannelCount; ++c) {
            const cv::Mat &img = sets[k][size_t(c)];
            if (img.empty())
                continue;
            const std::string path = prefix + (sets.size() > 1 ? "_set" + std::to_string(k + 1) : std::string())
                                     + "_ch" + std::to_string(c) + ".tif";
            if (!cv::imwrite(path, img)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    const std::string csv = prefix + "_truth.csv";
    FILE *f = std::fopen(csv.c_str(), "w");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", csv.c_str());
        return 1;
    }
    const int rows = chip.height / o.sets;
    std::fprintf(f, "x,y,radius,shading");
    for (int c = 0; c < ChannelCount; ++c)
        std::fprintf(f, ",pos%d,grey%d", c, c);
    std::fprintf(f, ",set,set_y\n");
    for (const Droplet &d : chip.droplets) {
        std::fprintf(f, "%.3f,%.3f,%.3f,%.4f", d.x, d.y, d.radius, d.shading);
        for (int c = 0; c < ChannelCount; ++c)
            std::fprintf(f, ",%d,%.1f", d.positive[c] ? 1 : 0, d.grey[c]);
        const int set = std::min(o.sets - 1, int(d.y + 0.5) / rows);
        std::fprintf(f, ",%d,%.3f\n", set + 1, d.y - set * rows);
    }
    std::fclose(f);
    std::printf("%zu droplets, %dx%d, %d set(s)\n", chip.droplets.size(), chip.width, chip.height, o.sets);
    return 0;
}
