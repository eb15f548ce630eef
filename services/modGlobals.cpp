#include "services/modGlobals.h"

#include "platform/core/SpecialFolders.h"

QString strDataFolder;

namespace
{

struct FolderToken {
    const char *token;
    int csidl;
    bool profileOnly; // the folder with every "/Start Menu" removed
};

// In the order of replacement: text put in by one row is searched by the rows after it.
// "[desktop]" is the all-users desktop and "[comdesk]" the user's own, as they always were.
constexpr FolderToken folderTokens[] = {
    {"[startsp]", platform::csidl::AltStartup, false},
    {"[appdata]", platform::csidl::AppData, false},
    {"[recycle]", platform::csidl::BitBucket, false},
    {"[comstar]", platform::csidl::CommonAltStartup, false},
    {"[comapp]", platform::csidl::CommonAppData, false},
    {"[desktop]", platform::csidl::CommonDesktopDirectory, false},
    {"[comdocs]", platform::csidl::CommonDocuments, false},
    {"[comfav]", platform::csidl::CommonFavorites, false},
    {"[comprog]", platform::csidl::CommonPrograms, false},
    {"[comstam]", platform::csidl::CommonStartMenu, false},
    {"[comtemp]", platform::csidl::CommonTemplates, false},
    {"[cookies]", platform::csidl::Cookies, false},
    {"[comdesk]", platform::csidl::DesktopDirectory, false},
    {"[favorit]", platform::csidl::Favorites, false},
    {"[fonts]", platform::csidl::Fonts, false},
    {"[history]", platform::csidl::History, false},
    {"[netcach]", platform::csidl::InternetCache, false},
    {"[progs]", platform::csidl::Programs, false},
    {"[progfil]", platform::csidl::ProgramFiles, false},
    {"[comprogfil]", platform::csidl::ProgramFilesCommon, false},
    {"[personl]", platform::csidl::Personal, false},
    {"[recent]", platform::csidl::Recent, false},
    {"[sendto]", platform::csidl::SendTo, false},
    {"[startup]", platform::csidl::Startup, false},
    {"[strtmnu]", platform::csidl::StartMenu, false},
    {"[system]", platform::csidl::System, false},
    {"[templat]", platform::csidl::Templates, false},
    {"[windir]", platform::csidl::Windows, false},
    {"[user]", platform::csidl::StartMenu, true},
    {"[alluser]", platform::csidl::CommonStartMenu, true},
};

// The folder followed by "/", or nothing when the platform has no such folder.
QString GetSpecialFolder(int csidl)
{
    const QString path = platform::specialFolderPath(csidl);
    return path.isEmpty() ? QString() : path + QLatin1Char('/');
}

} // namespace

QString ExpandFolderTokens(QString &path)
{
    for (const FolderToken &row : folderTokens) {
        const QString token = QLatin1String(row.token);
        // The profile tokens are matched exactly; the others in any letter case.
        const Qt::CaseSensitivity cs = row.profileOnly ? Qt::CaseSensitive : Qt::CaseInsensitive;
        if (!path.contains(token, cs))
            continue;
        QString folder = GetSpecialFolder(row.csidl);
        if (row.profileOnly)
            folder.remove(QStringLiteral("/Start Menu"), Qt::CaseInsensitive);
        path.replace(token, folder, cs);
    }
    return path;
}
