// Ending the whole program at once, as the main window's unload does. Tests replace the
// ending so that the test process lives on.
#pragma once

#include <functional>

// From here on only EndProgram ends the program: the first-run language chooser or a hidden
// splash may be the last window on screen when it closes, and the main window is still to come.
void KeepRunningUntilEndProgram();

// Leaves every event loop of the program; the windows still loaded end with it. From here on
// no handler starts, no window loads and no file write begins. Should the handlers under way
// not unwind within two seconds, the process ends all the same (a write under way is let
// finish first) with EndNotUnwoundExitCode, naming on one line of standard error what was
// still under way.
void EndProgram();

constexpr int EndNotUnwoundExitCode = 70;

// Replaces what EndProgram does; an empty function restores the default. Returns the
// previous replacement.
std::function<void()> setEndProgramHandler(std::function<void()> handler);
