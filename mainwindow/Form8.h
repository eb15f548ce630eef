// The help launcher: a window of no size that hands the help file to the shell when it loads.
#pragma once

#include "platform/ui/Form.h"

class Form8 : public ui::Form
{
    Q_OBJECT

public:
    explicit Form8(QWidget *parent = nullptr);

    void Form_Load() override;

    // What the last load did with the help file.
    enum class HelpResult { NoHelpFile, Opened, NoViewer };
    HelpResult helpResult() const { return m_helpResult; }

private:
    HelpResult m_helpResult = HelpResult::NoHelpFile;
    void OpenMsHelp();
};
