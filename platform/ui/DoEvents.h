// Lets pending window messages run, as the system's long handlers expect.
#pragma once

#include <functional>

void DoEvents();

namespace ui {

// Runs fn once the outermost DoEvents() has returned to the handler that called it, or at
// once when none is running. Windows unloaded while messages run inside a handler are
// deleted this way, so the handler's own stack never loses its window.
void afterDoEvents(std::function<void()> fn);

// Once the program is ending, every wait that lets messages run gives up, and no new message
// box or modal window waits for the user, so the handlers under way unwind at once.
void setProgramEnding(bool ending);
bool programEnding();

} // namespace ui
