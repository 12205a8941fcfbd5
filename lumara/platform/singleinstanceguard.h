#pragma once
// One running program per user: an exclusive lock on "Lumara_App.lock", held through an open
// descriptor for the life of the guard (in practice the process). The kernel drops the lock
// when the process ends, also when it crashes or is killed.
#include <QString>

namespace Platform {

class SingleInstanceGuard {
public:
    // Tries the lock at once, without waiting.
    SingleInstanceGuard();
    explicit SingleInstanceGuard(const QString &lockPath);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // False when another process holds the lock (or the lock file cannot be opened).
    bool acquired() const { return m_fd >= 0; }

    // In the per-machine folder when LUMARA_ROOT is set, so that tests never meet each other or
    // a running program; else in the user's runtime folder. Needs the application object.
    static QString defaultLockPath();

private:
    int m_fd = -1;
};

} // namespace Platform
