// Launch of the real program, timed on the X display as a user sees it.
#pragma once

#include <QString>

namespace bench
{

struct LaunchFigures {
    double firstWindowMs = -1; // launch to the first window on screen (the splash)
    double mainMs = -1;        // launch to the main window on screen
    double residentMb = -1;    // all its processes, 3 s after the main window appeared
};

// Medians over `runs` launches of `program` with a fresh home; all -1 without an X display.
LaunchFigures launchMedian(const QString &program, int runs);

} // namespace bench
