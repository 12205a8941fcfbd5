#pragma once
// Rules about the open package's file that opening and saving share.
#include <QString>

// The last component of a path split at "/" (empty when the path ends in "/").
QString fileNameOfPath(const QString &path);

// A file name up to, not including, its first ".": "a.b.imrs" gives "a".
QString baseNameOfFile(const QString &fileName);

// What Save does with the open file, by its suffix as the document reads it (case-sensitive):
// a saved package is written in place, a run archive asks for a new name, anything else
// (nothing open) does nothing.
enum class SaveRoad { InPlace, SaveAs, Nothing };
SaveRoad saveRoadFor(const QString &fileName);

// Whether a new file can be written in the folder that would hold path. Probes with a
// temporary file made and removed in that folder: path itself, if it exists, is left alone.
bool canWriteBeside(const QString &path);
