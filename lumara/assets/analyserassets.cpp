#include "assets/analyserassets.h"

namespace {

AnalyserAssets row(const char *volume, const char *kernel)
{
    AnalyserAssets a;
    a.templateFile = QStringLiteral("template/modelTemp%1.tif").arg(QLatin1String(volume));
    a.kernelFile = QStringLiteral("template/%1.tif").arg(QLatin1String(kernel));
    a.parameterEntry = QStringLiteral("%1_analysisparams.json").arg(QLatin1String(volume));
    return a;
}

} // namespace

QString AnalyserAssets::dataFolder()
{
    return QStringLiteral("../data");
}

QString AnalyserAssets::generalParameterEntry()
{
    return QStringLiteral("analysisparams.json");
}

QString AnalyserAssets::volumeParameterProbe()
{
    return choose(false, 1, 0).parameterEntry;
}

QString AnalyserAssets::modelFile()
{
    return QStringLiteral("classify_droplet.xml");
}

QString AnalyserAssets::uniformImageFile()
{
    return QStringLiteral("uninform/uniformImage.tif");
}

QString AnalyserAssets::uniformImageEntry()
{
    return QStringLiteral("uniform/uniformImage.tif");
}

AnalyserAssets AnalyserAssets::choose(bool largeImages, int workType, int blocksType)
{
    if (largeImages)
        return row("3000pl", "Kernel_15");
    if (blocksType == 2 && workType >= 0 && workType <= 2)
        return row("600pl", "Kernel_11");
    if (workType == 1)
        return row("300pl", "Kernel_11");
    if (workType == 2)
        return row("3000pl", "Kernel_15");
    return row("800pl", "Kernel_11");
}
