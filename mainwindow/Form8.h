// The help launcher: a window of no size that hands the help file to the shell when it loads.
#pragma once

#include "platform/ui/Form.h"

class Form8 : public ui::Form
{
    Q_OBJECT

public:
    explicit Form8(QWidget *parent = nullptr);

    void Form_Load() override;

private:
    void OpenMsHelp();
};
