// Hands an address or a file to the desktop's default program.
#pragma once

#include <QString>
#include <functional>

namespace platform
{

using ShellOpener = std::function<bool(QString)>;

// Opens a URL ("http://...") or a local path with its default program; false when the
// desktop could not start anything. A CHM file goes to the first CHM viewer found on the
// PATH (xchm, kchmviewer): desktops seldom associate one, and xdg-open fails silently.
bool shellOpen(const QString &urlOrPath);

// Replaces what shellOpen does (tests record the calls); an empty opener restores the
// desktop's. Returns the previous opener.
ShellOpener setShellOpener(ShellOpener opener);

} // namespace platform
