// The module-level language state, the default English messages, and the reading and writing
// of Localization.txt that the language object and the chooser share.
#include "localisation/modLanguages.h"

#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/core/UserFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

clsLanguages *objLanguages = nullptr;
QString strLanguage;

void LoadDefaultMessages()
{
    if (!objLanguages)
        return;
    objLanguages->setMessage(QStringLiteral("MSG_CHANNELLIST"),
                             QStringLiteral("The most recent channel list has been downloaded and applied."));
    objLanguages->setMessage(QStringLiteral("MSG_DELETED"), QStringLiteral("Deleted "));
    objLanguages->setMessage(QStringLiteral("MSG_NOTFOUND"),
                             QStringLiteral("TV Channel file was not found.  No channels could be loaded.  "
                                            "Please reinstall or repair this program."));
    objLanguages->setMessage(QStringLiteral("MSG_STATUS1"), QStringLiteral("Total Channels: "));
    objLanguages->setMessage(QStringLiteral("MSG_STATUS2"), QStringLiteral(" | Showing: "));
    objLanguages->setMessage(QStringLiteral("MSG_STATUS3"), QStringLiteral(" | Laguages/Categories: "));
    objLanguages->setMessage(
        QStringLiteral("MSG_STATUS4"),
        QStringLiteral(" | Don't forget to rate your favorite channels with the Channel Actions button"));
}

void ChangeLanguage(ui::Form *myForm, const QString &strLang)
{
    if (objLanguages)
        objLanguages->ChangeLanguage(myForm, strLang);
}

void ChangeLanguageMDI(ui::Form *myForm, const QString &strLang)
{
    if (objLanguages)
        objLanguages->ChangeLanguageMDI(myForm, strLang);
}

QString LocalizationFilePath()
{
    return platform::readableFile(QStringLiteral("Localization.txt"));
}

QString LocalizationFileForWriting()
{
    return platform::userFileForWriting(QStringLiteral("Localization.txt"));
}

QString readLanguageFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // FileExists ignores the letter case of the name, and so does the read.
        const QFileInfo info(path);
        const QStringList found =
            info.dir().entryList({info.fileName()}, QDir::Files | QDir::Hidden | QDir::System);
        if (!found.isEmpty()) {
            file.setFileName(info.dir().filePath(found.first()));
            file.open(QIODevice::ReadOnly);
        }
    }
    if (!file.isOpen())
        throw platform::RuntimeError(53, QStringLiteral("clsLanguages"), QStringLiteral("File not found"));
    QString text = platform::textOfUtf8(file.readAll());
    // The stream reader the file was made for drops a byte-order mark.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

namespace
{

[[noreturn]] void invalidArgument()
{
    throw platform::RuntimeError(5, QStringLiteral("clsLanguages"),
                                 QStringLiteral("Invalid procedure call or argument"));
}

} // namespace

bool nextLanguageGroup(const QString &text, qsizetype &pos, QString &group)
{
    const qsizetype start = text.indexOf(QLatin1String("<LANGUAGE_GROUP"), pos, Qt::CaseInsensitive);
    if (start < 0)
        return false;
    const qsizetype end = text.indexOf(QLatin1String("</LANGUAGE_GROUP>"), pos, Qt::CaseInsensitive);
    if (end < start)
        invalidArgument();
    group = text.mid(start, end - start);
    pos = end + 17;
    return true;
}

QString groupTagText(const QString &group, const QString &openTag, const QString &closeTag)
{
    const qsizetype open = group.indexOf(openTag, 0, Qt::CaseInsensitive);
    const qsizetype close = group.indexOf(closeTag, 0, Qt::CaseInsensitive);
    if (open < 0 || close < open + openTag.size())
        invalidArgument();
    return group.mid(open + openTag.size(), close - open - openTag.size());
}
