#include "services/ProductAddresses.h"

#include <QtGlobal>

namespace
{

QString fromEnvOr(const char *var, const char *fallback)
{
    const QString v = qEnvironmentVariable(var);
    QString s = v.isEmpty() ? QString::fromUtf8(fallback) : v;
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    // A bare host ("127.0.0.1:8080") would make every address built on it fail to open.
    if (!s.isEmpty() && !s.contains(QLatin1String("://")))
        s.prepend(QLatin1String("http://"));
    return s;
}

} // namespace

QString productServer()
{
    return fromEnvOr("CHANNELDECK_SERVER", CD_SERVER);
}

QString videoSite()
{
    return fromEnvOr("CHANNELDECK_VIDEO_SITE", CD_VIDEO_SITE);
}
