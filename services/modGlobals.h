// Folder tokens ("[appdata]", "[windir]", ...) and the per-user data folder.
#pragma once

#include <QString>

// The folder of the channel list, "[appdata]TVDAT" expanded; set once at start-up.
extern QString strDataFolder;

// Replaces every folder token in path with its folder and a trailing "/"; path receives
// the result too. A folder this platform lacks expands to nothing.
QString ExpandFolderTokens(QString &path);
