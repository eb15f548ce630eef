// The start-up's single-instance test and the silent end of a second copy of the program.
// Tests replace both, so that a test process neither sees other processes nor ends.
#pragma once

#include <functional>

// True when another copy of the program runs for this user.
bool AnotherInstanceRunning();
// Ends this copy at once: no message, no window's unload handler, no event loop left to run.
void EndSecondInstance();

// Replace the test or the ending; an empty function restores the real one. Each returns the
// previous replacement.
std::function<bool()> setInstanceCheck(std::function<bool()> check);
std::function<void()> setSecondInstanceEndHandler(std::function<void()> handler);
