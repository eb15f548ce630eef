#include "platform/core/SpecialFolders.h"

#include <QDir>
#include <QStandardPaths>

// How the Windows special folders map onto this platform (empty = no counterpart, the
// lookup fails as it would on Windows for a folder that is not there):
//
//   Programs, StartMenu          $XDG_DATA_HOME/applications (the user's menu entries)
//   CommonPrograms, CommonStartMenu   <first of $XDG_DATA_DIRS>/applications
//   Startup                      $XDG_CONFIG_HOME/autostart
//   CommonStartup                <first of $XDG_CONFIG_DIRS>/autostart
//   AppData, LocalAppData        $XDG_DATA_HOME (default ~/.local/share)
//   CommonAppData                <first of $XDG_DATA_DIRS> (default /usr/local/share)
//   InternetCache                $XDG_CACHE_HOME (default ~/.cache)
//   Fonts                        $XDG_DATA_HOME/fonts
//   Personal                     XDG documents folder (user-dirs.dirs, default ~/Documents)
//   DesktopDirectory             XDG desktop folder (default ~/Desktop)
//   Templates                    XDG templates folder (default ~/Templates)
//   ProgramFiles                 /opt
//   AltStartup, CommonAltStartup, BitBucket (virtual on Windows too), CommonDesktopDirectory,
//   CommonDocuments, CommonFavorites, CommonTemplates, Cookies, Favorites, History, Recent,
//   SendTo, System, Windows, ProgramFilesCommon:  none

namespace platform
{
namespace
{

// An XDG base directory: the variable when it holds an absolute path, else the default.
QString xdgHome(const char *variable, const QString &defaultBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + QLatin1Char('/') + defaultBelowHome;
}

// The first absolute entry of an XDG search list, else the default.
QString xdgFirstDir(const char *variable, const QString &defaultDir)
{
    const QStringList dirs = qEnvironmentVariable(variable).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &dir : dirs) {
        if (QDir::isAbsolutePath(dir))
            return QDir::cleanPath(dir);
    }
    return defaultDir;
}

QString dataHome()
{
    return xdgHome("XDG_DATA_HOME", QStringLiteral(".local/share"));
}
QString configHome()
{
    return xdgHome("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString userDir(QStandardPaths::StandardLocation location)
{
    return QDir::cleanPath(QStandardPaths::writableLocation(location));
}

} // namespace

QString specialFolderPath(int id)
{
    switch (id) {
    case csidl::Programs:
    case csidl::StartMenu:
        return dataHome() + QStringLiteral("/applications");
    case csidl::CommonPrograms:
    case csidl::CommonStartMenu:
        return xdgFirstDir("XDG_DATA_DIRS", QStringLiteral("/usr/local/share")) +
               QStringLiteral("/applications");
    case csidl::Startup:
        return configHome() + QStringLiteral("/autostart");
    case csidl::CommonStartup:
        return xdgFirstDir("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg")) + QStringLiteral("/autostart");
    case csidl::AppData:
    case csidl::LocalAppData:
        return dataHome();
    case csidl::CommonAppData:
        return xdgFirstDir("XDG_DATA_DIRS", QStringLiteral("/usr/local/share"));
    case csidl::InternetCache:
        return xdgHome("XDG_CACHE_HOME", QStringLiteral(".cache"));
    case csidl::Fonts:
        return dataHome() + QStringLiteral("/fonts");
    case csidl::Personal:
        return userDir(QStandardPaths::DocumentsLocation);
    case csidl::DesktopDirectory:
        return userDir(QStandardPaths::DesktopLocation);
    case csidl::Templates:
        return userDir(QStandardPaths::TemplatesLocation);
    case csidl::ProgramFiles:
        return QStringLiteral("/opt");
    default:
        return QString();
    }
}

} // namespace platform
