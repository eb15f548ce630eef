// Records every message box shown while it lives and answers each with a chosen button.
#pragma once

#include "platform/ui/MsgBox.h"

#include <QList>

namespace testsupport
{

class MsgBoxRecorder
{
public:
    explicit MsgBoxRecorder(int answer = vbOK);
    ~MsgBoxRecorder();

    // Answers to give in turn; after they run out, the default answer.
    void queueAnswers(const QList<int> &answers) { m_queue = answers; }
    void setDefaultAnswer(int answer) { m_answer = answer; }

    const QList<platform::MessageBoxRequest> &boxes() const { return m_boxes; }
    int count() const { return int(m_boxes.size()); }
    void clear() { m_boxes.clear(); }

private:
    int m_answer;
    QList<int> m_queue;
    QList<platform::MessageBoxRequest> m_boxes;
    platform::MessageBoxPresenter m_previous;
};

} // namespace testsupport
