// Special-folder lookup by CSIDL number, answered from the XDG base and user directories.
#pragma once

#include <QString>

namespace platform
{

// The CSIDL numbers the program's folder tokens name.
namespace csidl
{
constexpr int Programs = 0x02;
constexpr int Personal = 0x05;
constexpr int Favorites = 0x06;
constexpr int Startup = 0x07;
constexpr int Recent = 0x08;
constexpr int SendTo = 0x09;
constexpr int BitBucket = 0x0A;
constexpr int StartMenu = 0x0B;
constexpr int DesktopDirectory = 0x10;
constexpr int Fonts = 0x14;
constexpr int Templates = 0x15;
constexpr int CommonStartMenu = 0x16;
constexpr int CommonPrograms = 0x17;
constexpr int CommonStartup = 0x18;
constexpr int CommonDesktopDirectory = 0x19;
constexpr int AppData = 0x1A;
constexpr int LocalAppData = 0x1C;
constexpr int AltStartup = 0x1D;
constexpr int CommonAltStartup = 0x1E;
constexpr int CommonFavorites = 0x1F;
constexpr int InternetCache = 0x20;
constexpr int Cookies = 0x21;
constexpr int History = 0x22;
constexpr int CommonAppData = 0x23;
constexpr int Windows = 0x24;
constexpr int System = 0x25;
constexpr int ProgramFiles = 0x26;
constexpr int ProgramFilesCommon = 0x2B;
constexpr int CommonTemplates = 0x2D;
constexpr int CommonDocuments = 0x2E;
} // namespace csidl

// The folder's absolute path without a trailing "/", or an empty string when this
// platform has no such folder (a failed lookup). The folder need not exist.
QString specialFolderPath(int csidl);

} // namespace platform
