// Dressing windows: colours from the skin control, the skin call, and the banner
// browser above the player.
#pragma once

namespace ui
{
class Form;
class PictureBox;
class Skin;
class SkinHelper;
} // namespace ui

// The skin control that skinned windows apply (set by the splash window in skin mode).
extern ui::Skin *objSkin;
// The skin library's auxiliary object; nullptr until its first use.
extern ui::SkinHelper *objSkinHelper;
// The banner's container created by SetupBanner.
extern ui::PictureBox *picBanner;

// objSkinHelper, created on first use. The splash window's two calls in skin mode are
// SkinHelperObject()->attach(skn->skinSource()) and then SkinHelperObject()->activate().
ui::SkinHelper *SkinHelperObject();

void ApplySkin(ui::Form *frm);
void ColorizeControls(ui::Form *frm, int lngCtrlBackColor, int lngCtrlForeColor, int lngPicBackColor);
// Never true here: the region fix is for one family of another platform.
bool IsVistaOrLater();
void ResetWindowRegion(ui::Form *frm);
void SetupBanner(ui::Form *frm);
void NotifySkinHelperOnVista();
