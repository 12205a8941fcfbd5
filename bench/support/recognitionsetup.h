#pragma once
// What the recognition benchmarks share: the 800 pl droplets' template and kernel, and the
// recognition values of their parameter file, set on an analysis helper.
#include "dropletimganalysishelper.h"

#include <QString>

namespace RecognitionSetup {

inline QString dataPath(const char *name)
{
    return QStringLiteral(LUMARA_BENCH_DATA) + QLatin1Char('/') + QLatin1String(name);
}

inline QString templatePath()
{
    return dataPath("template/modelTemp800pl.tif");
}

// Clears the helper and sets it up for 800 pl droplets.
inline void configure800(DropletImgAnalysisHelper &e)
{
    Ravelin::AnalysisSettings settings;
    settings.MeanGreyvalueRadius = 17;
    settings.GreyValueMaskSize = 23;
    settings.DiscreteRectLength = 200;
    settings.RandomShuffle = false;
    e.clearData();
    e.setSettings(settings);
    e.setTemplateModel(templatePath());
    e.setMexicanhatKernel(dataPath("template/Kernel_11.tif"));
}

} // namespace RecognitionSetup
