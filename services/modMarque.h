// Brand settings: the names the program shows and its window-dressing switches.
#pragma once

#include <QString>

extern QString strProgramName;
extern QString strCompanyName;
extern QString WebsiteUrl;
extern QString BannerUrl;
extern short intProductId;
extern bool blnUseSkin;
extern bool blnShowBanner;
extern bool blnSplashIcon;

// What the next load of the website launcher is asked to open ("Website", "Sports", ...).
extern QString PageRequest;

// Sets every brand value from the version information and the fixed switches.
void LoadBrandSettings();
