// The window classes of the channel submission, for the Forms collection.
#pragma once

// Registers frmSubmit, so that the main window's menu can load it by name.
void registerSubmissionWindows();
