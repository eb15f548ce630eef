// The about box: product name, version, owner and website from the version information.
#pragma once

#include "platform/ui/Form.h"

namespace ui
{
class Label;
class PictureBox;
class SkinLabel;
} // namespace ui

class frmAbout : public ui::Form
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    void Form_Load() override;

    ui::PictureBox *Picture1;
    ui::SkinLabel *Label1;
    ui::Label *Label2;
    ui::SkinLabel *lblVersion;
    ui::Label *Label3;
    ui::SkinLabel *lblCompany;
    ui::Label *Label4;
    ui::SkinLabel *lblWebsite;

private:
    void OpenWebsiteForm();
};
