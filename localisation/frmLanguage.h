// The language chooser: lists the languages of Localization.txt, applies the one picked to
// the main window and to itself, downloads a newer language file and opens the file for
// translators.
#pragma once

#include "platform/ui/Form.h"

namespace ui
{
class CommandButton;
class ComboBox;
class Line;
class SkinLabel;
} // namespace ui

class frmLanguage : public ui::Form
{
    Q_OBJECT

public:
    explicit frmLanguage(QWidget *parent = nullptr);

    void Form_Load() override;

    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    ui::SkinLabel *Label1;
    ui::ComboBox *Combo1;
    ui::CommandButton *Command1;
    ui::CommandButton *Command2;
    ui::CommandButton *Command3;
    ui::Line *Line1;

private:
    void FillLanguageList();
    bool ShellOpen(const QString &strFile, int lngShowCmd);
};
