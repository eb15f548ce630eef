// Colouring windows from the skin control, the skin call, and the banner browser.
#include "services/modSkin.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "services/modMarque.h"

ui::Skin *objSkin = nullptr;
ui::SkinHelper *objSkinHelper = nullptr;
ui::PictureBox *picBanner = nullptr;

ui::SkinHelper *SkinHelperObject()
{
    if (!objSkinHelper)
        objSkinHelper = new ui::SkinHelper();
    return objSkinHelper;
}

void ApplySkin(ui::Form *frm)
{
    if (!frm)
        return;
    // Without a skin control every colour reads as 0.
    const int ctrlBack = objSkin ? objSkin->controlBackColor() : 0;
    const int ctrlFore = objSkin ? objSkin->controlForeColor() : 0;
    const int picBack = objSkin ? objSkin->pictureBackColor() : 0;
    ColorizeControls(frm, ctrlBack, ctrlFore, picBack);
    if (IsVistaOrLater() && blnUseSkin)
        ResetWindowRegion(frm);
    if (objSkin)
        objSkin->applySkin(frm);
}

void ColorizeControls(ui::Form *frm, int lngCtrlBackColor, int lngCtrlForeColor, int lngPicBackColor)
{
    static const QStringList listAndText = {
        QStringLiteral("ListView"),   QStringLiteral("ListBox"),     QStringLiteral("DriveListBox"),
        QStringLiteral("DirListBox"), QStringLiteral("FileListBox"), QStringLiteral("ComboBox"),
        QStringLiteral("TextBox"),
    };
    for (QObject *ctl : frm->controls()) {
        const QString type = ui::typeName(ctl);
        // A control that refuses a colour ends the walk, as the original's does.
        if (type == QLatin1String("CommandButton")) {
            if (!ctl->setProperty("BackColor", lngCtrlBackColor))
                return;
        } else if (listAndText.contains(type)) {
            if (!ctl->setProperty("BackColor", lngCtrlBackColor) ||
                !ctl->setProperty("ForeColor", lngCtrlForeColor))
                return;
        } else if (type == QLatin1String("PictureBox")) {
            if (!ctl->setProperty("BackColor", lngPicBackColor))
                return;
        }
    }
}

bool IsVistaOrLater()
{
    return false;
}

void ResetWindowRegion(ui::Form *frm)
{
    // The window's twips taken as pixels: larger than the window, so nothing is cut off.
    if (frm)
        frm->setMask(QRegion(0, 0, frm->Width(), frm->Height()));
}

void SetupBanner(ui::Form *frm)
{
    if (!frm)
        return;
    auto *wbBanner = qobject_cast<ui::WebBrowser *>(frm->control(QStringLiteral("wbBanner")));
    auto *wbPicture = qobject_cast<QWidget *>(frm->control(QStringLiteral("wbPicture")));
    // Once per window: a second call would stack a second container.
    if (!wbBanner || frm->control(QStringLiteral("picBox")))
        return;
    picBanner =
        frm->addControl<ui::PictureBox>(QStringLiteral("picBox"), wbBanner->parentWidget(), 0, 0, 0, 0);
    // 280 twips, or 20 pixels for a window that measures in pixels.
    const int margin = frm->ScaleMode() == ui::Form::vbPixels ? ui::toTwips(20) : 280;
    picBanner->Move(wbBanner->Left(), wbBanner->Top(), wbBanner->Width() - margin, wbBanner->Height());
    picBanner->setBorderStyle(0);
    const int bannerWidth = wbBanner->Width();
    const int bannerHeight = wbBanner->Height();
    wbBanner->setContainer(picBanner);
    wbBanner->Move(0, 0, bannerWidth, bannerHeight);
    picBanner->setVisible(true);
    picBanner->Refresh();
    wbBanner->setVisible(true);
    if (wbPicture)
        wbPicture->setVisible(false);
    wbBanner->Navigate2(BannerUrl);
}

void NotifySkinHelperOnVista()
{
    if (IsVistaOrLater())
        SkinHelperObject()->refreshRegions();
}
