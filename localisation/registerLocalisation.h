// The window classes of the localisation folder, for the Forms collection.
#pragma once

// Registers frmLanguage, so that the start-up and the menu can load it by name.
void registerLocalisationWindows();
