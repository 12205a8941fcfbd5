#pragma once
// Digital-PCR quantities from droplet counts: the Poisson concentration with its 95 % bounds,
// its relative uncertainty, the uncertainty curve of the View Results page, ratios of two
// concentrations with their bounds, copies; and the stored result of every population in
// every well. Concentrations are in copies per microlitre, droplet volumes in picolitres
// (800 when a well has none). A dilution of exactly -1 means none was given and counts as 1.
// Holds no data: every call reads the document afresh. Degenerate counts give the IEEE
// infinities and NaN the formulas produce; callers show them as text.
#include "model/lumaraanalysisdata.h"
#include "quantitativeanalysis.h"

#include <QObject>
#include <QPointF>
#include <QVector>

struct UncertainlyCurveInfo {
    double concentration = 0.0;
    // Percent: the relative uncertainty of the measured count itself, as its well shows it;
    // NaN where that has none (no positives, no upper bound).
    double uncertaintyAtConcentration = 0.0;
    double detectionLimit = 0.0;             // 3 copies in all droplets
    double upperConcentration = 0.0;         // 8.5 copies per droplet, or past the last point
    double concentrationAtRef = 0.0;         // at round(0.797 N) positives
    double uncertaintyAtRef = 0.0;           // percent
    QVector<QPointF> curve;                  // (concentration, uncertainty in percent) per k
};

class ResultCalculate : public QObject {
    Q_OBJECT
public:
    explicit ResultCalculate(QObject *parent = nullptr);

    // Concentration, lower and upper bound of positive droplets among total in the well.
    // Total 0 gives zeros. Note the argument order: total first.
    DropletConcentration poissonConcentration(double total, double positive, double dilution, uint wellId) const;
    // Relative uncertainty (a fraction) of k positives among N droplets of volume microlitres;
    // -1 when the lower end of the interval of 1 - k/N falls below 0.
    static double relativeUncertainty(double k, double volume, double N, double dilution);
    // The relative uncertainty (a fraction) a result shows: half its interval over its
    // estimate; NaN without positives, not finite where a bound has no value.
    static double relativeUncertaintyOf(const DropletConcentration &r);

    UncertainlyCurveInfo uncertaintyCurve(uint total, uint positive, double dilution, uint wellId) const;
    // The curve of a population result: over its positives plus negatives, with its dilution;
    // the droplet volume is the well's.
    UncertainlyCurveInfo uncertaintyCurveOfResult(const LumaraAnalysisData::PopulationResultInfo &result,
                                                  uint wellId) const;
    // The curve of a stored population of the well, from its stored result (all zero without
    // one): the figures at its estimate are those the result table shows.
    UncertainlyCurveInfo uncertaintyCurveOfPopulation(uint wellId, uint populationId) const;

    // The dilution of the channel the population stands for in line mode; -1 when none.
    double getChannelDilution(uint populationId, uint wellId) const;
    // The n-th (from 1) channel number used by some well, ascending; 0 when there is none.
    uint getUsedChannel(uint n) const;
    // The dilution all of the well's population results share; -1 when they differ or the
    // well has none.
    double getCommonPopulationDilution(uint wellId) const;

    // a / b; -1 when b is 0.
    static double calRatio(double a, double b);
    // Bounds of the ratio of two concentrations given as (estimate, lower, upper). Left
    // unwritten when the denominator's estimate and one of its bounds are 0. A bound is
    // unbounded (-inf, +inf) where the denominator's interval on that side reaches 0.
    static void calRatioBounds(const double numerator[3], const double denominator[3], double *lower, double *upper);
    // n * b * a / 10^6: with a concentration, a droplet volume in pL and a droplet count, the
    // copies in those droplets.
    static double calCopies(double a, double b, int n);

    // A copy of the well's population results; empty when the well has no result record.
    QVector<LumaraAnalysisData::PopulationResultInfo> getPopulationResults(uint wellId) const;
    // Recomputes and stores positives, negatives, dilution, concentration with bounds and
    // uncertainty of every population in every well from the current zone counts.
    void updatePopulationResults();

    // Droplet volume of the well in picolitres: 800 for a well without one (none stored, or
    // no such well). Every figure of a well takes this one.
    double dropletVolume(uint wellId) const;

private:
    // Limits, reference point and curve of N droplets (steps after the concentration).
    static void fillCurve(UncertainlyCurveInfo &info, uint N, double dilution, double volume);
};
