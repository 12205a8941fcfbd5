#pragma once
// The text files of the program's resources that are computed at build time rather than kept
// in the source tree: one row per file, with its resource path below ":/" and the function
// that writes its content.
#include <QByteArray>
#include <QVector>

namespace MkResources {

struct TextResource {
    const char *path; // resource path, e.g. "Compensation/spectrum/emfam.txt"
    QByteArray (*make)();
};

// Every text of the table, in table order.
const QVector<TextResource> &texts();

// ---- dye emission spectra (text_emission.cpp) -------------------------------------------------
// One spectrum: a sample per `step` nm from `first` to `last`, intensity
// exp(-ln 2 * ((x - peak) / h)^2) with h = 0.4 * fwhm below the peak and 0.6 * fwhm above it,
// each line "%.2f<TAB>%.6f<CR><LF>".
QByteArray emissionSpectrum(double first, double last, double step, double peak, double fwhm);

} // namespace MkResources
