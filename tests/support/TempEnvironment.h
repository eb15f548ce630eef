// Temporary program folder, data folder (XDG_DATA_HOME, holding the user folder) and registry
// hives for one test.
// Restores the environment variables it changed when it goes out of scope.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

namespace testsupport
{

class TempEnvironment
{
public:
    TempEnvironment();
    ~TempEnvironment();
    TempEnvironment(const TempEnvironment &) = delete;
    TempEnvironment &operator=(const TempEnvironment &) = delete;

    QString root() const { return m_dir.path(); }
    QString programFolder() const; // CHANNELDECK_PROGRAM_FOLDER
    QString dataHome() const;      // XDG_DATA_HOME ("[appdata]")
    QString userFolder() const;    // dataHome()/ChannelDeck, where the program writes
    QString registryDir() const;   // CHANNELDECK_REGISTRY_DIR

    // Writes a file (creating folders) and returns its full path.
    QString writeFile(const QString &path, const QByteArray &content) const;
    static QByteArray readFile(const QString &path);

    void setEnv(const char *name, const QByteArray &value);

private:
    QTemporaryDir m_dir;
    QList<QPair<QByteArray, QPair<bool, QByteArray>>> m_saved;
};

} // namespace testsupport
