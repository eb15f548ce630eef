#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

namespace testsupport
{

TempEnvironment::TempEnvironment()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("program"));
    QDir(m_dir.path()).mkpath(QStringLiteral("data"));
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    QDir(m_dir.path()).mkpath(QStringLiteral("registry"));
    setEnv("CHANNELDECK_PROGRAM_FOLDER", programFolder().toUtf8());
    setEnv("XDG_DATA_HOME", dataHome().toUtf8());
    setEnv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    setEnv("CHANNELDECK_REGISTRY_DIR", registryDir().toUtf8());
}

TempEnvironment::~TempEnvironment()
{
    for (auto it = m_saved.crbegin(); it != m_saved.crend(); ++it) {
        if (it->second.first)
            qputenv(it->first.constData(), it->second.second);
        else
            qunsetenv(it->first.constData());
    }
}

QString TempEnvironment::programFolder() const
{
    return m_dir.path() + QStringLiteral("/program");
}
QString TempEnvironment::dataHome() const
{
    return m_dir.path() + QStringLiteral("/data");
}
QString TempEnvironment::userFolder() const
{
    return dataHome() + QStringLiteral("/ChannelDeck");
}
QString TempEnvironment::registryDir() const
{
    return m_dir.path() + QStringLiteral("/registry");
}

QString TempEnvironment::writeFile(const QString &path, const QByteArray &content) const
{
    const QString full = QFileInfo(path).isAbsolute() ? path : m_dir.path() + QLatin1Char('/') + path;
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return full;
}

QByteArray TempEnvironment::readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TempEnvironment::setEnv(const char *name, const QByteArray &value)
{
    m_saved.append({QByteArray(name), {qEnvironmentVariableIsSet(name), qgetenv(name)}});
    qputenv(name, value);
}

} // namespace testsupport
