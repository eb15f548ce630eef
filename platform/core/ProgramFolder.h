// The program folder: where the files the program ships with (Localization.txt, Help.chm)
// are found. Nothing is written there; what the program writes lives in the user folder.
#pragma once

#include <QString>

namespace platform
{

// The folder of the shipped files, without a trailing "/": CHANNELDECK_PROGRAM_FOLDER when
// set, else programFolderBeside() of the executable's folder.
QString programFolder();

// For an executable in executableFolder: the installed share folder of the program when
// there is one (lib/channeldeck/channeldeck finds share/channeldeck), else the executable's
// folder itself, as in a build tree.
QString programFolderBeside(const QString &executableFolder);

} // namespace platform
