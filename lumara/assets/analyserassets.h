#pragma once
// What the analysers read besides the images: the droplet template, the filter kernel and the
// package's parameter entry chosen for a chip by its image size, droplet work type and blocks
// type, and the data folder's and the package's other analysis files. Shared by the
// re-analysis engine and the package generator, so that the droplets a generated package
// stores are those the engine finds with the same files.
#include <QString>

class AnalyserAssets {
public:
    // The data folder as the program names it from its own folder.
    static QString dataFolder();
    // Images wider than this many pixels get the largest droplets' assets.
    static constexpr int LargeImageWidth = 3500;
    static bool isLargeImage(int width) { return width > LargeImageWidth; }

    // The parameter entry a package without volume-specific entries is read from, and the data
    // folder's file of the same name when the package has neither.
    static QString generalParameterEntry();
    // The 300 pL entry: a package that holds it is read from the volume-specific entries.
    static QString volumeParameterProbe();
    // Data-folder files, relative to the data folder.
    static QString modelFile();
    static QString uniformImageFile();
    // The package's flat-field entry.
    static QString uniformImageEntry();

    // The row of the table that first holds: large images, then the work type (0: 800 pL,
    // 1: 300 pL, 2: 3000 pL) with blocks type 2 taking the 600 pL row for each of them. Any
    // other work type gets the 800 pL row.
    static AnalyserAssets choose(bool largeImages, int workType, int blocksType);

    QString templateFile;   // relative to the data folder
    QString kernelFile;     // relative to the data folder
    QString parameterEntry; // the package's volume-specific entry
};
