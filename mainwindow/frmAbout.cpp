#include "mainwindow/frmAbout.h"

#include "mainwindow/modSkinLabels.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "services/modMarque.h"
#include "services/modSkin.h"

namespace
{

template <class T> T *boldText(T *label, const QString &caption = QString())
{
    label->setFontBold(true);
    label->setCaption(caption);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : ui::Form(QStringLiteral("frmAbout"), parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(QFont(QStringLiteral("Verdana"), 9));

    Picture1 = addControl<ui::PictureBox>(QStringLiteral("Picture1"), nullptr, 0, 0, 7515, 1035);
    Picture1->setBorderStyle(0);
    // The picture's own navy, so the band looks the same while the picture is still loading.
    Picture1->setBackColor(0x003D1E0D);
    Picture1->setPicture(QStringLiteral(":/mainwindow/about.png"));
    Label1 = boldText(addControl<ui::SkinLabel>(QStringLiteral("Label1"), nullptr, 120, 1200, 7095, 435));
    Label1->setFontSize(12);
    Label2 = boldText(addControl<ui::Label>(QStringLiteral("Label2"), nullptr, 180, 1680, 2295, 315),
                      QStringLiteral("Version:"));
    lblVersion =
        boldText(addControl<ui::SkinLabel>(QStringLiteral("lblVersion"), nullptr, 2580, 1680, 4635, 315));
    Label3 = boldText(addControl<ui::Label>(QStringLiteral("Label3"), nullptr, 180, 2100, 2295, 315),
                      QStringLiteral("Owned By:"));
    lblCompany =
        boldText(addControl<ui::SkinLabel>(QStringLiteral("lblCompany"), nullptr, 2580, 2100, 4635, 315));
    Label4 = boldText(addControl<ui::Label>(QStringLiteral("Label4"), nullptr, 180, 2520, 2295, 315),
                      QStringLiteral("Website:"));
    lblWebsite =
        boldText(addControl<ui::SkinLabel>(QStringLiteral("lblWebsite"), nullptr, 2580, 2520, 4635, 315));
    auto *skinLabel =
        addControl<ui::SkinLabel>(QStringLiteral("SkinLabel1"), nullptr, 480, 2940, 555, 195, 0);
    skinLabel->setCaption(QStringLiteral("Windowed Label"));
    skinLabel->setVisible(false);

    // A client area of 7455 x 2925, whatever frame the window system adds.
    setWidth(7455 + Width() - ScaleWidth());
    setHeight(2925 + Height() - ScaleHeight());
}

void frmAbout::Form_Load()
{
    const platform::VersionInfo version = platform::versionInfo();
    setCaption(QStringLiteral("About ") + strProgramName);
    Label1->setCaption(version.productName);
    lblCompany->setCaption(version.companyName);
    lblVersion->setCaption(QStringLiteral("%1.%2").arg(version.major).arg(version.minor));
    lblWebsite->setCaption(version.comments);
    if (blnUseSkin) {
        CopyLabelsToSkinLabels(this, QStringLiteral("SkinLabel1"));
        ApplySkin(this);
    }
}

void frmAbout::OpenWebsiteForm()
{
    if (ui::Form *launcher = ui::Forms::load(QStringLiteral("frmWebsite")))
        launcher->Show();
}
