#include "platform/ui/WindowGuard.h"

#include "platform/ui/DoEvents.h"
#include "platform/ui/Form.h"
#include "platform/ui/Forms.h"

namespace ui
{

WindowGuard::WindowGuard(Form *window) : m_window(window), m_guardsWindow(true) {}

WindowGuard::WindowGuard(Form *window, const quint64 &ticketCounter)
    : m_window(window), m_guardsWindow(true), m_counter(&ticketCounter), m_ticket(ticketCounter)
{
}

WindowGuard WindowGuard::newTicket(Form *window, quint64 &ticketCounter)
{
    ++ticketCounter;
    return WindowGuard(window, ticketCounter);
}

bool WindowGuard::alive() const
{
    if (programEnding())
        return false;
    if (!m_guardsWindow)
        return true;
    // The counter is read only while the window that holds it exists.
    if (!m_window || !Forms::isLoaded(m_window))
        return false;
    return !m_counter || *m_counter == m_ticket;
}

} // namespace ui
