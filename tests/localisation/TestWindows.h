// Windows built from the window runtime for the localisation tests: one control of every
// kind the translation knows, plus kinds it must leave alone.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

namespace loctest
{

class SampleWindow : public ui::Form
{
public:
    explicit SampleWindow(const QString &name = QStringLiteral("frmSample"));

    ui::Label *lblTitle;
    ui::CommandButton *cmdGo;
    ui::SkinLabel *SkinLabel1;
    ui::Frame *Frame1;
    ui::CheckBox *chkOption;
    ui::OptionButton *optKind0;
    ui::OptionButton *optKind1;
    ui::OptionButton *optLoose; // not part of a control group
    ui::TextBox *txtName;
    ui::ComboBox *cmbPick;
    ui::TabStrip *tabPages;
    ui::ListView *lvItems;
    ui::Menu *mnuFile;
    ui::Menu *mnuFileItem0;
    ui::Menu *mnuFileItem3;
};

// Labels whose type names carry white space around them: the multiple-document walk trims
// blanks from a type name, nothing else.
class BlankTypeLabel : public ui::Label
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "  LABEL ")
public:
    using ui::Label::Label;
};

class TabTypeLabel : public ui::Label
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "\tLabel")
public:
    using ui::Label::Label;
};

// A window with a single text box, for the template's caption rule.
class TextOnlyWindow : public ui::Form
{
public:
    TextOnlyWindow();
    ui::TextBox *txtOnly;
};

} // namespace loctest
