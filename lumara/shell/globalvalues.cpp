#include "shell/globalvalues.h"

double uiScaleFactor = 1.0;
int imageActionMode = 0;
QString currentFileBaseName;

int dropletMarkerSize = 17;
double dropletMarkerLineWidth = 2.0;
int isIndividualMode = 1;
int isAxisIndividual = 1;
QVector<AxisRange> commonAxisRanges(6);
QVector<WellAxisRange> wellAxisRanges;
int histogramLogAxis = 0;
bool compensationApplied = false;
QVector<WellThresholds> thresholdCache;
int concentrationLogAxis = 0;
int uncertaintyLogAxis = 0;
int reanalysisBackgroundMode = 2;
bool reanalysisFluorescenceCorrection = true;
