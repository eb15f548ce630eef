// Tells whether another copy of the program is already running for this user.
#pragma once

#include <QString>

namespace platform
{

// True when another running process holds the program's lock file. The first call that
// finds the lock free takes it and keeps it until the process ends, so later calls in the
// same process answer false.
bool anotherInstanceRunning();

// Gives the lock back (the program is ending), so a new start need not wait for this
// process to be gone.
void releaseInstanceLock();

// The lock file: "<product name>.lock" in the user's runtime folder.
QString instanceLockPath();

} // namespace platform
