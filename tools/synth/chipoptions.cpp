#include "chipoptions.h"

#include <cerrno>
#include <cstdlib>

namespace LumaraSynth {

namespace {

bool number(const std::string &text, double lo, double hi, double &out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !(v >= lo && v <= hi))
        return false;
    out = v;
    return true;
}

bool whole(const std::string &text, long lo, long hi, long &out)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || v < lo || v > hi)
        return false;
    out = v;
    return true;
}

const Profile AllProfiles[] = {Profile::AntiAliased, Profile::Flat,     Profile::Soft,
                               Profile::Dome,        Profile::Gaussian, Profile::BrightRim};

} // namespace

const std::vector<std::string> &chipOptionNames()
{
    static const std::vector<std::string> names{
        "volume", "width",     "height",     "seed",      "profile", "radius", "packing", "empty",
        "noise",  "vignetting", "negatives", "background", "positives", "positive-fraction", "bits", "sets",
        "recognise-on", "haze", "blobs", "debris"};
    return names;
}

bool setChipOption(ChipOptions &o, const std::string &name, const std::string &value, std::string *error)
{
    auto fail = [&](const std::string &why) {
        if (error)
            *error = "--" + name + " " + value + ": " + why;
        return false;
    };
    double d = 0.0;
    long n = 0;
    if (name == "volume") {
        const std::string wanted = value.size() > 2 && value.compare(value.size() - 2, 2, "pl") == 0 ? value
                                                                                                     : value + "pl";
        for (Volume v : allVolumes())
            if (wanted == volumeName(v)) {
                o.volume = v;
                return true;
            }
        return fail("not one of 300pl, 600pl, 800pl, 3000pl");
    }
    if (name == "width" || name == "height") {
        if (!whole(value, 16, 20000, n))
            return fail("needs 16 to 20000 pixels");
        (name == "width" ? o.width : o.height) = int(n);
        return true;
    }
    if (name == "seed") {
        if (!whole(value, 0, 0x7fffffffL, n))
            return fail("needs a whole number from 0");
        o.seed = std::uint64_t(n);
        return true;
    }
    if (name == "profile") {
        for (Profile p : AllProfiles)
            if (value == profileName(p)) {
                o.profile = p;
                return true;
            }
        return fail("not one of anti-aliased, flat, soft, dome, gaussian, bright-rim");
    }
    if (name == "radius") {
        if (!number(value, 0.5, 2.0, d))
            return fail("needs a factor of the volume's radius from 0.5 to 2");
        o.radiusScale = d;
        return true;
    }
    if (name == "packing") {
        // "gaps" is the lattice at the volume's pitch, which leaves oil between droplets.
        if (value == "gaps" || value == packingName(Packing::Lattice))
            o.packing = Packing::Lattice;
        else if (value == packingName(Packing::Tight))
            o.packing = Packing::Tight;
        else if (value == packingName(Packing::Random))
            o.packing = Packing::Random;
        else
            return fail("not one of lattice, gaps, tight, random");
        return true;
    }
    if (name == "empty") {
        if (!number(value, 0.0, 0.9, d))
            return fail("needs a share of empty sites from 0 to 0.9");
        o.emptyFraction = d;
        return true;
    }
    if (name == "noise") {
        if (!number(value, 0.0, 1.0, d))
            return fail("needs a share of the negatives' level from 0 to 1");
        o.noise = d;
        return true;
    }
    if (name == "vignetting") {
        if (!number(value, 0.0, 0.9, d))
            return fail("needs a share from 0 to 0.9");
        o.vignetting = d;
        return true;
    }
    if (name == "negatives") {
        if (!number(value, 1.0, 50.0, d))
            return fail("needs a factor of the background from 1 to 50");
        o.negatives = d;
        return true;
    }
    if (name == "background") {
        if (!number(value, 1.0, 20000.0, d))
            return fail("needs a grey level from 1 to 20000");
        o.background = d;
        return true;
    }
    if (name == "positives") {
        // A factor, or a range "low-high" drawn from per droplet.
        const size_t dash = value.find('-');
        double lo = 0.0, hi = 0.0;
        const bool read = dash == std::string::npos
                              ? number(value, 1.0, 50.0, lo) && number(value, 1.0, 50.0, hi)
                              : number(value.substr(0, dash), 1.0, 50.0, lo)
                                    && number(value.substr(dash + 1), 1.0, 50.0, hi);
        if (!read || hi < lo)
            return fail("needs a factor of the negatives' level from 1 to 50, or a range low-high");
        o.positivesLow = lo;
        o.positivesHigh = hi;
        return true;
    }
    if (name == "positive-fraction") {
        if (!number(value, 0.0, 1.0, d))
            return fail("needs a share of positives from 0 to 1");
        o.positiveFraction = d;
        return true;
    }
    if (name == "bits") {
        if (value != "8" && value != "16")
            return fail("needs 8 or 16");
        o.bits = value == "8" ? 8 : 16;
        return true;
    }
    if (name == "sets") {
        if (value != "1" && value != "2")
            return fail("needs 1 or 2");
        o.sets = value == "1" ? 1 : 2;
        return true;
    }
    if (name == "recognise-on") {
        if (value != "reference" && value != "classes")
            return fail("needs reference or classes");
        o.reference = value == "reference";
        return true;
    }
    if (name == "haze" || name == "blobs" || name == "debris") {
        if (!whole(value, 0, 1000, n))
            return fail("needs a count from 0 to 1000");
        (name == "haze" ? o.haze : name == "blobs" ? o.blobs : o.debris) = int(n);
        return true;
    }
    if (error)
        *error = "unknown option --" + name;
    return false;
}

ChipPlan chipPlanOf(const ChipOptions &o)
{
    ChipPlan plan = planFor(o.volume, o.width, o.height, o.seed);
    plan.geometry = scaledGeometry(plan.geometry, o.radiusScale);
    plan.profile = o.profile;
    plan.packing = o.packing;
    plan.emptyFraction = o.emptyFraction;
    if (o.background >= 0.0)
        plan.background = o.background;
    if (o.negatives >= 0.0)
        plan.negativeGrey = o.negatives * plan.background;
    if (o.positivesLow >= 0.0) {
        // One factor keeps the spread every level has.
        plan.positiveGrey = 0.5 * (o.positivesLow + o.positivesHigh) * plan.negativeGrey;
        if (o.positivesHigh > o.positivesLow)
            plan.positiveSpread = (o.positivesHigh - o.positivesLow) / (o.positivesHigh + o.positivesLow);
    }
    if (o.positiveFraction >= 0.0) {
        for (int c = 0; c < ChannelCount; ++c)
            plan.positiveFraction[size_t(c)] = c == ReferenceChannel ? 0.0 : o.positiveFraction;
    }
    if (o.noise >= 0.0) {
        plan.readNoise = o.noise * plan.negativeGrey;
        plan.shotGain = 0.0;
    }
    plan.vignetting = o.vignetting;
    plan.bitDepth = o.bits;
    plan.channelPresent[ReferenceChannel] = o.reference;
    plan.hazeCount = o.haze;
    plan.blobCount = o.blobs;
    plan.debrisCount = o.debris;
    return plan;
}

std::vector<std::array<cv::Mat, ChannelCount>> imageSets(const Chip &chip, int sets)
{
    std::vector<std::array<cv::Mat, ChannelCount>> out(size_t(std::max(1, sets)));
    const int rows = chip.height / int(out.size());
    for (size_t k = 0; k < out.size(); ++k) {
        for (int c = 0; c < ChannelCount; ++c) {
            const cv::Mat &m = chip.images[size_t(c)];
            if (!m.empty())
                out[k][size_t(c)] = m.rowRange(int(k) * rows, int(k + 1) * rows).clone();
        }
    }
    return out;
}

} // namespace LumaraSynth
