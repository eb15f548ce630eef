// The one question a handler asks after every wait that lets messages run: is my window still
// there, and is what I am doing still wanted?
#pragma once

#include <QPointer>
#include <QtGlobal>

namespace ui
{

class Form;

// Answers alive() while its window is loaded and the program is not ending; with a ticket,
// also while no newer request of the same kind has been made. A window unloaded during a wait
// is deleted only once the outermost wait has returned (see HandlerWait), but from the moment
// it unloads the guard answers false: the handler must not touch it any more.
class WindowGuard
{
public:
    // Guards no window: alive until the program ends.
    WindowGuard() = default;
    explicit WindowGuard(Form *window);
    // Also holds the ticket ticketCounter holds now. The counter belongs to the window (one of
    // its members), so it is read only while the window is there.
    WindowGuard(Form *window, const quint64 &ticketCounter);
    // Moves the counter on to a new ticket and holds that: every guard of an earlier ticket
    // answers false from now on.
    static WindowGuard newTicket(Form *window, quint64 &ticketCounter);

    bool alive() const;

private:
    QPointer<Form> m_window;
    bool m_guardsWindow = false;
    const quint64 *m_counter = nullptr;
    quint64 m_ticket = 0;
};

} // namespace ui
