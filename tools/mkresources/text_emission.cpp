#include "texttable.h"

#include <cmath>
#include <cstdio>

namespace MkResources {

namespace {

// Each dye's published emission peak and approximate width at half maximum (nm), over the
// range and step the program's spectrum plot reads.
struct Dye {
    double first;
    double last;
    double step;
    double peak;
    double fwhm;
};

const Dye Fam{480, 674, 1, 518, 38};
const Dye EvaGreen{480, 674, 1, 522, 38};
const Dye HexVic{530, 674, 1, 559, 36};
const Dye Rox{565, 749, 1, 604, 40};
const Dye Cy5{635, 750, 1, 671, 38};
const Dye Q670{630.5, 750, 0.5, 666, 36};
const Dye Cy55{655, 830, 1, 696, 40};
const Dye Quasar705{652, 850, 1, 706, 40};
const Dye Cy3{540, 690, 1, 568, 34};

QByteArray spectrumOf(const Dye &dye)
{
    return emissionSpectrum(dye.first, dye.last, dye.step, dye.peak, dye.fwhm);
}

} // namespace

QByteArray emissionSpectrum(double first, double last, double step, double peak, double fwhm)
{
    QByteArray text;
    const int samples = int(std::lround((last - first) / step)) + 1;
    char line[64];
    for (int i = 0; i < samples; ++i) {
        // From the sample's number, not by adding steps: the grid must hit the peak exactly.
        const double x = first + i * step;
        const double h = (x < peak ? 0.4 : 0.6) * fwhm;
        const double u = (x - peak) / h;
        const double intensity = std::exp(-std::log(2.0) * u * u);
        std::snprintf(line, sizeof line, "%.2f\t%.6f\r\n", x, intensity);
        text.append(line);
    }
    return text;
}

const QVector<TextResource> &texts()
{
    static const QVector<TextResource> table = {
        {"Compensation/spectrum/emfam.txt", [] { return spectrumOf(Fam); }},
        {"Compensation/spectrum/emsybr.txt", [] { return spectrumOf(EvaGreen); }},
        {"Compensation/spectrum/emhexvic.txt", [] { return spectrumOf(HexVic); }},
        {"Compensation/spectrum/emrox.txt", [] { return spectrumOf(Rox); }},
        {"Compensation/spectrum/emcy5.txt", [] { return spectrumOf(Cy5); }},
        {"Compensation/spectrum/emq670.txt", [] { return spectrumOf(Q670); }},
        {"Compensation/spectrum/emcy5.5.txt", [] { return spectrumOf(Cy55); }},
        {"Compensation/spectrum/emq705.txt", [] { return spectrumOf(Quasar705); }},
        {"Compensation/spectrum/emcy3.txt", [] { return spectrumOf(Cy3); }},
    };
    return table;
}

} // namespace MkResources
