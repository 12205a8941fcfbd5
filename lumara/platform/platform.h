#pragma once
// Where the program keeps what belongs to this machine rather than to a package: logs, crash
// dumps, user habits, the recent-files database and the local copy of the uniformity image.
#include <QString>

namespace Platform {

// $LUMARA_ROOT when it is set and not empty (tests point it at a temporary folder), else the
// application's local data folder. Without a trailing "/".
QString machineFolder();

// machineFolder() followed by "/" and the relative path.
QString machinePath(const QString &relative);

// The folder an export starts in: the user's Documents folder when it exists, else the home
// folder. Without a trailing "/".
QString defaultExportFolder();

} // namespace Platform
