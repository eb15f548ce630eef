// The website launcher: loaded (never shown) after a caller sets PageRequest; opens the
// website for a "Website" request and unloads itself a second later.
#pragma once

#include "platform/ui/Form.h"

namespace ui
{
class TimerControl;
}

class frmWebsite : public ui::Form
{
    Q_OBJECT

public:
    explicit frmWebsite(QWidget *parent = nullptr);

    void Form_Load() override;
    void Timer1_Timer();

    ui::TimerControl *Timer1;
};
