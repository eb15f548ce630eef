// File tests on the program's own paths.
#pragma once

#include <QString>

// True only when a file (hidden ones included) of that name exists; the letter case of the
// name's last part does not matter. Folders and wildcard patterns are never files.
bool FileExists(const QString &path);

// The text after the last "/" of path; the whole text when it holds none.
QString StripPath(QString path);
