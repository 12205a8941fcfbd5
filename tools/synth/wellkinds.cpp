#include "wellkinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace LumaraSynth {

namespace {

WellShape negatives()
{
    WellShape s;
    s.negativeMean = 1000;
    s.negativeSd = 100;
    return s;
}

} // namespace

std::vector<WellKind> plateWellKinds()
{
    std::vector<WellKind> out;
    char name[160];

    // No positives.
    {
        WellKind r{"no positives, normal", negatives(), CountGoal::NoPositives};
        out.push_back(r);
        for (double shape : {0.1, 0.2, 0.35}) {
            std::snprintf(name, sizeof name, "no positives, log-normal %g", shape);
            WellKind l{name, negatives(), CountGoal::NoPositives};
            l.shape.logNormal = shape;
            out.push_back(l);
        }
        for (double share : {0.02, 0.05, 0.10}) {
            std::snprintf(name, sizeof name, "no positives, flat tail %g%% to 5 sd", 100 * share);
            WellKind f{name, negatives(), CountGoal::NoPositives};
            f.shape.flatTail = share;
            out.push_back(f);
        }
    }
    // A few positives far above.
    for (double sd : {8.0, 10.0, 12.0, 20.0, 50.0}) {
        for (int count : {1, 2, 5, 10, 20, 25}) {
            std::snprintf(name, sizeof name, "%d positives at %g sd", count, sd);
            WellKind r{name, negatives(), sd >= 10 ? CountGoal::EveryOne : CountGoal::Report};
            r.shape.positiveCount = count;
            r.shape.positiveMean = 1000 + sd * 100;
            r.shape.positiveCv = 0.03;
            out.push_back(r);
        }
    }
    // Clusters apart by 4 to 10 negative deviations, of equal spread and broader.
    for (double sd : {4.0, 5.0, 6.0, 7.0, 8.0, 10.0}) {
        for (double spread : {100.0, 150.0}) {
            for (double fraction : {0.05, 0.10, 0.30, 0.50, 0.75}) {
                std::snprintf(name, sizeof name, "%g%% at %g sd, spread %g", 100 * fraction, sd, spread);
                WellKind r{name, negatives(), sd >= 5 ? CountGoal::Within : CountGoal::Report, 0.02};
                r.shape.positiveFraction = fraction;
                r.shape.positiveMean = 1000 + sd * 100;
                r.shape.positiveCv = spread / r.shape.positiveMean;
                out.push_back(r);
            }
        }
    }
    // Very high wells, broad clusters. The goal holds up to 99.9 % (15 negatives), as no well
    // with positives may read 0; a well all positive is one group, read as negatives.
    for (double mean : {3000.0, 5000.0}) {
        for (double cv : {0.05, 0.10, 0.15}) {
            for (double fraction : {0.90, 0.95, 0.99, 0.995, 0.997, 0.999, 1.0}) {
                std::snprintf(name, sizeof name, "%g%% at %g, CV %g%%", 100 * fraction, mean, 100 * cv);
                WellKind r{name, negatives(), fraction < 1.0 ? CountGoal::Within : CountGoal::Report, 0.025};
                r.shape.positiveFraction = fraction;
                r.shape.positiveMean = mean;
                r.shape.positiveCv = cv;
                out.push_back(r);
            }
        }
    }
    // Rain in low, middle and high wells.
    for (double fraction : {0.05, 0.30, 0.80}) {
        for (double rain : {0.01, 0.03, 0.05, 0.10, 0.15}) {
            std::snprintf(name, sizeof name, "%g%% at 3000, rain %g%%", 100 * fraction, 100 * rain);
            WellKind r{name, negatives(), CountGoal::Within, 0.02};
            r.shape.positiveFraction = fraction;
            r.shape.positiveMean = 3000;
            r.shape.rain = rain;
            out.push_back(r);
        }
    }
    {
        WellKind r{"20 positives at 3000, rain 3%", negatives(), CountGoal::Within, 0.02};
        r.shape.positiveCount = 20;
        r.shape.rain = 0.03;
        out.push_back(r);
        WellKind h{"150 negatives, rest at 3000 +-150, rain 3%", negatives(), CountGoal::Within, 0.02};
        h.shape.positiveFraction = 1.0 - 0.03 - 150.0 / 15000;
        h.shape.rain = 0.03;
        out.push_back(h);
    }
    // Debris and saturated droplets.
    {
        WellKind r{"no positives, one debris at 30000", negatives(), CountGoal::NoPositives};
        r.shape.debris = 1;
        out.push_back(r);
        WellKind p{"20 positives at 5000, one debris at 30000", negatives(), CountGoal::EveryOne};
        p.shape.positiveCount = 20;
        p.shape.positiveMean = 5000;
        p.shape.debris = 1;
        out.push_back(p);
        WellKind m{"30% at 3000, one debris at 10000", negatives(), CountGoal::Within, 0.02};
        m.shape.positiveFraction = 0.3;
        m.shape.debris = 1;
        m.shape.debrisGrey = 10000;
        out.push_back(m);
        WellKind s{"20 positives at 3000, one saturated", negatives(), CountGoal::EveryOne};
        s.shape.positiveCount = 20;
        s.shape.saturated = 1;
        out.push_back(s);
        WellKind t{"5% at 3000, three saturated", negatives(), CountGoal::Within, 0.02};
        t.shape.positiveFraction = 0.05;
        t.shape.saturated = 3;
        out.push_back(t);
    }
    // Droplets a compensation pushed to 0: in a well of a generated package's size, at a lab
    // plate's 0.1 %, and another dye's positives all pushed there.
    {
        auto pushed = [&out](const char *kindName, CountGoal goal, double positives, int low, int droplets,
                             double lowGrey = 0.0) {
            WellKind k{kindName, negatives(), goal, goal == CountGoal::Within ? 0.02 : 0.0};
            k.shape.positiveFraction = positives;
            k.shape.low = low;
            k.shape.lowGrey = lowGrey;
            k.droplets = droplets;
            out.push_back(k);
        };
        pushed("no positives, 2 at 0", CountGoal::NoPositives, 0.0, 2, 1901);
        pushed("no positives, 0.1% at 0", CountGoal::NoPositives, 0.0, 15, 0);
        pushed("30% at 3000, 2 at 0", CountGoal::Within, 0.3, 2, 1901);
        pushed("no positives, 5% at 0", CountGoal::NoPositives, 0.0, 750, 15000);
        pushed("30% at 3000, 20% at 0", CountGoal::Within, 0.3, 3000, 15000);
        // A weaker coefficient pushes them part of the way, well below the negatives. Fifteen
        // there clear of 0 look as a well's negatives below 99.9 % positives do; only their greys
        // before the compensation, which lay among the negatives, tell them apart.
        for (double grey : {400.0, 150.0}) {
            std::snprintf(name, sizeof name, "no positives, 2 at %g", grey);
            pushed(name, CountGoal::NoPositives, 0.0, 2, 1901, grey);
            std::snprintf(name, sizeof name, "no positives, 0.1%% at %g", grey);
            pushed(name, CountGoal::NoPositives, 0.0, 15, 15000, grey);
            std::snprintf(name, sizeof name, "30%% at 3000, 2 at %g", grey);
            pushed(name, CountGoal::Within, 0.3, 2, 1901, grey);
        }
    }
    // Real wells' shapes. Negatives that trail down, as partly filled, small and out-of-focus
    // droplets do, as a tail thinning out or a flat shelf running on into the negatives: no
    // group of their own, the well without positives.
    for (bool shelf : {false, true}) {
        for (double share : {0.01, 0.05}) {
            for (double depth : {0.3, 0.5}) {
                for (double cv : {0.03, 0.08}) {
                    std::snprintf(name, sizeof name, "no positives, lower %s %g%% to %g, CV %g%%",
                                  shelf ? "shelf" : "tail", 100 * share, depth, 100 * cv);
                    WellKind k{name, negatives(), CountGoal::NoPositives};
                    k.shape.negativeSd = cv * k.shape.negativeMean;
                    k.shape.lowerTail = share;
                    k.shape.lowerDepth = depth;
                    k.shape.lowerShelf = shelf;
                    out.push_back(k);
                }
            }
        }
    }
    // Positives spread over a broad plateau from 1.7 to 4.5 times the negatives, evenly or in
    // two humps, above negatives of CV 8 %: every plateau droplet counts.
    for (int humps : {0, 2}) {
        for (double fraction : {0.02, 0.05, 0.15}) {
            std::snprintf(name, sizeof name, "%g%% plateau 1.7x to 4.5x%s, CV 8%%", 100 * fraction,
                          humps ? ", two humps" : "");
            WellKind k{name, negatives(), CountGoal::Within, 0.03};
            k.shape.negativeSd = 80;
            k.shape.positiveFraction = fraction;
            k.shape.plateauFrom = 1.7;
            k.shape.plateauTo = 4.5;
            k.shape.plateauHumps = humps;
            out.push_back(k);
        }
    }
    // Positives in two levels, 1.5 and 2.1 times the negatives (CV 4 %); and in three levels
    // above negatives that are the lowest of four, 1.0, 1.25, 1.5 and 1.75 times (CV 2.6 %).
    for (double share : {0.01, 0.05}) {
        std::snprintf(name, sizeof name, "%g%% in two levels 1.5x and 2.1x, CV 4%%", 200 * share);
        WellKind k{name, negatives(), CountGoal::Within, 0.03};
        k.shape.negativeSd = 40;
        k.shape.positiveCv = 0.04;
        k.shape.levels = {{1.5, share}, {2.1, share}};
        out.push_back(k);
    }
    {
        WellKind k{"65% in levels 1.25x, 1.5x, 1.75x above 35% at 1x, CV 2.6%", negatives(), CountGoal::Within, 0.01};
        k.shape.negativeSd = 26;
        k.shape.positiveCv = 0.026;
        k.shape.levels = {{1.25, 0.40}, {1.5, 0.20}, {1.75, 0.05}};
        out.push_back(k);
    }
    // A few positives scattered from 1.4 to 3.7 times the negatives (CV 8 %), no cluster.
    {
        WellKind k{"1% scattered 1.4x to 3.7x, CV 8%", negatives(), CountGoal::Within, 0.05};
        k.slack = 3;
        k.shape.negativeSd = 80;
        k.shape.positiveFraction = 0.01;
        k.shape.plateauFrom = 1.4;
        k.shape.plateauTo = 3.7;
        out.push_back(k);
    }
    // Wells of a generated package's size.
    for (double fraction : {0.0, 0.01, 0.3, 0.95, 0.99}) {
        std::snprintf(name, sizeof name, "%g%% at 3000 of 1800", 100 * fraction);
        WellKind r{name, negatives(), fraction == 0 ? CountGoal::NoPositives : CountGoal::Within,
                   fraction > 0.9 ? 0.025 : 0.02};
        r.shape.positiveFraction = fraction;
        r.droplets = 1800;
        out.push_back(r);
    }
    // Wells of a re-measure's size (a few hundred droplets) with clusters closer than 5
    // deviations: the count holds no goal of precision, but at 4 deviations no such well reads
    // as none or as half (within a quarter of the truth); at 3.5 the count is reported. And
    // negatives spread evenly, as a reference dye is drawn, stay one group.
    for (double sd : {3.5, 4.0}) {
        for (double fraction : {0.3, 0.7}) {
            std::snprintf(name, sizeof name, "%g%% at %g sd of 480", 100 * fraction, sd);
            WellKind r{name, negatives(), sd >= 4.0 ? CountGoal::Within : CountGoal::Report, 0.25};
            r.shape.positiveFraction = fraction;
            r.shape.positiveMean = r.shape.negativeMean + sd * r.shape.negativeSd;
            r.shape.positiveCv = r.shape.negativeSd / r.shape.positiveMean;
            r.droplets = 480;
            out.push_back(r);
        }
    }
    {
        WellKind r{"no positives, spread evenly over 4 sd, of 480", negatives(), CountGoal::NoPositives};
        r.shape.flatTail = 1.0;
        r.shape.flatTailWidth = 4.0;
        r.droplets = 480;
        out.push_back(r);
    }
    return out;
}


bool meetsGoal(const WellKind &row, int truth, int count, int droplets)
{
    switch (row.goal) {
    case CountGoal::Report:
        return true;
    case CountGoal::NoPositives:
        return count * 1000 <= droplets + truth * 1000; // debris counted positive is no fault
    case CountGoal::EveryOne:
        return std::abs(count - truth) <= 1;
    case CountGoal::Within:
        return std::abs(count - truth) <= std::max(double(row.slack), row.tolerance * truth);
    }
    return false;
}

std::string goalText(const WellKind &row)
{
    switch (row.goal) {
    case CountGoal::Report:
        return "report";
    case CountGoal::NoPositives:
        return "<=0.1%";
    case CountGoal::EveryOne:
        return "+-1";
    case CountGoal::Within: {
        char text[32];
        if (row.slack > 0)
            std::snprintf(text, sizeof text, "+-%g%%|%d", 100 * row.tolerance, row.slack);
        else
            std::snprintf(text, sizeof text, "+-%g%%", 100 * row.tolerance);
        return text;
    }
    }
    return {};
}

} // namespace LumaraSynth
