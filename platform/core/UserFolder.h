// The user folder: everything the program writes (favourites, a downloaded or generated
// language file, exports, generated pages, scratch files) lives here, away from the program
// and its shipped files, so that neither a rebuild nor a read-only install can touch it.
#pragma once

#include <QString>
#include <QStringList>

namespace platform
{

// $XDG_DATA_HOME/ChannelDeck (default ~/.local/share/ChannelDeck), without a trailing "/".
// Not created here: a program that only reads leaves no trace.
QString userFolder();

// Where the program writes name (a file name, or a path below the folder): in the user
// folder, created first when missing. Should that fail, the path is answered all the same
// and the write that follows fails and says so.
QString userFileForWriting(const QString &name);

// The file of that name in folder, the exact spelling first, then any letter case (names
// were matched that way where the program's files come from); empty when there is none.
QString findFileIgnoringCase(const QString &folder, const QString &name);

// Where the program reads name: the user folder's file when there is one (in any letter
// case), else the program folder's. So a user's copy of a shipped file wins over it.
QString readableFile(const QString &name);

// Earlier versions kept the user's files in the program folder. Each of names found there
// is taken into the user folder: moved where the program folder may be written, copied
// (keeping its time) where not. A file the user folder already holds is replaced only by a
// newer one, so what has been taken over once is not taken again.
void takeOverFromProgramFolder(const QStringList &names);

} // namespace platform
