// Lets pending window messages run, as the system's long handlers expect.
#pragma once

#include <functional>

void DoEvents();

namespace ui
{

// Held by every wait of a handler that lets messages run: DoEvents(), a message box, a modal
// window. A handler may be waiting in any of them when its window is unloaded.
class HandlerWait
{
public:
    HandlerWait();
    ~HandlerWait();
    HandlerWait(const HandlerWait &) = delete;
    HandlerWait &operator=(const HandlerWait &) = delete;
};

// Runs fn once the outermost wait (see HandlerWait) has returned to the handler that started
// it, or at once when none is under way. Windows unloaded while messages run inside a handler
// are deleted this way, so the handler's own stack never loses its window.
void afterDoEvents(std::function<void()> fn);

// Once the program is ending, every wait that lets messages run gives up, no new message box
// or modal window waits for the user, and no handler starts any more: user input, the closing
// of a window, the ticks of timer controls and calls queued for a window or its controls are
// dropped. The handlers under way unwind at once; writes they ask for are refused.
void setProgramEnding(bool ending);
bool programEnding();

// Notes which window and control the latest handler was started for, so that a handler still
// letting messages run when the program should have ended can be named. Installed once at
// start; harmless when called again.
void watchHandlers();

} // namespace ui
