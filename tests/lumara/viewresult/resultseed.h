#pragma once
// Seeded documents for the View Results tests: wells with sample names (so that merged rows
// form), two line targets, and a switch between ordinary and reagent-kit packages.
#include "seeddocument.h"

#include <array>

namespace ResultTest {

const uint Negative = 500;
const uint Positive = 2000;
const uint Threshold = 1000;

// A well of `droplets` droplets whose first positives[c] are positive in channel c + 1.
BllTest::WellSeed well(uint id, const QString &position, const QString &sample, int droplets,
                       const std::array<int, LumaraAnalysisData::PerChannel> &positives,
                       const QList<uint> &channels = {1, 2});

// Named targets on channels 1 and 2 (and any other channel a well uses): one line population
// per channel.
BllTest::DocumentSeed document(const QList<BllTest::WellSeed> &wells);

// Seeds the document, recounts every well and lets the hub reload the well list, as after
// opening a file. False with a message when the document cannot be seeded.
bool load(const BllTest::DocumentSeed &seed, QString *error);

// Makes the business layer take the next documents for a reagent-kit package, or not, by
// opening a tiny generated package with or without the kit entry.
bool useKit(bool kit, QString *error);

} // namespace ResultTest
