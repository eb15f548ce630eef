#include "tests/support/MsgBoxRecorder.h"

namespace testsupport
{

MsgBoxRecorder::MsgBoxRecorder(int answer) : m_answer(answer)
{
    m_previous = platform::setMessageBoxPresenter([this](const platform::MessageBoxRequest &req) {
        m_boxes.append(req);
        return m_queue.isEmpty() ? m_answer : m_queue.takeFirst();
    });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    platform::setMessageBoxPresenter(m_previous);
}

} // namespace testsupport
