// The start-up window: shows the splash picture while a short timer runs, loads the brand
// settings, then hands over to the main window and hides itself.
#pragma once

#include "platform/ui/Form.h"

namespace ui
{
class Image;
class Label;
class Skin;
class TimerControl;
} // namespace ui

class frmSplash : public ui::Form
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);

    void Form_Load() override;
    void Timer2_Timer();

    ui::Image *Image1;
    ui::Label *Label3;
    ui::Skin *skn;
    ui::TimerControl *Timer2;

    // Ticks so far, times two; the hand-over comes when it reaches 150.
    qint16 intCount = 0;
};
