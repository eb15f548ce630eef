// The main window's life after start-up: closing stops the player and ends the program,
// resizing lays the window out again, and txtStatus carries the status line.
#include "mainwindow/Form1.h"

#include "mainwindow/EndProgram.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Forms.h"

void Form1::Form_QueryUnload(int &Cancel, int UnloadMode)
{
    Q_UNUSED(Cancel);
    Q_UNUSED(UnloadMode);
    WindowsMediaPlayer1->controls()->stop();
    WindowsMediaPlayer1->close();
}

void Form1::Form_Unload(int &Cancel)
{
    Q_UNUSED(Cancel);
    ui::Forms::unload(QStringLiteral("Form8"));
    ui::Forms::unload(QStringLiteral("frmAbout"));
    ui::Forms::unload(QStringLiteral("frmSplash"));
    EndProgram();
}

void Form1::Form_Resize()
{
    if (WindowState() != vbMinimized)
        resizeControls();
}

void Form1::txtStatus_Change()
{
    StatusBar1->setPanelText(1, txtStatus->Text());
    DoEvents();
}
