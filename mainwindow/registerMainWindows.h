// Registers the window classes of the main window's folder with the Forms collection.
#pragma once

// frmSplash, Form1, Form8, frmWebsite and frmAbout.
void registerMainWindows();
