// The language object's message table, its loading of one language group from
// Localization.txt and the lookup of a translation by key.
#include "localisation/clsLanguages.h"

#include "localisation/modLanguages.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/UserFolder.h"
#include "platform/core/VersionInfo.h"
#include "services/modMarque.h"
#include "services/xfileExists.h"

namespace
{

const QString kSource = QStringLiteral("clsLanguages");

QString upperFirst(QString text)
{
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

QString replaceAnyCase(QString text, const QString &placeholder, const QString &value)
{
    return text.replace(placeholder, value, Qt::CaseInsensitive);
}

// Split at CR LF as the item lines are kept: an empty items text is no line at all.
QStringList splitItemLines(const QString &items)
{
    if (items.isEmpty())
        return {};
    return items.split(QStringLiteral("\r\n"));
}

} // namespace

void clsLanguages::setMessage(const QString &strName, const QString &strMessage)
{
    for (MessageEntry &entry : m_messages) {
        if (!entry.inUse) {
            entry.inUse = true;
            entry.name = strName;
            entry.message = strMessage;
            return;
        }
    }
}

QString clsLanguages::getMessages(const QString &strName) const
{
    const QString wanted = strName.toUpper();
    for (const MessageEntry &entry : m_messages) {
        if (entry.name.toUpper() == wanted) {
            const platform::VersionInfo info = platform::versionInfo();
            QString text = replaceAnyCase(entry.message, QStringLiteral("[ProgramName]"), info.productName);
            text = replaceAnyCase(text, QStringLiteral("[CompanyName]"), info.companyName);
            return upperFirst(text);
        }
        if (!entry.inUse)
            break;
    }
    return QString();
}

void clsLanguages::LoadLanguageGroup(const QString &strLang)
{
    strLanguage = strLang;
    const QString path = LocalizationFilePath();
    if (!LangFileExists(path))
        return;
    const QString text = readLanguageFile(path);

    const QString wanted = strLanguage.toUpper();
    qsizetype pos = 0;
    QString group;
    while (nextLanguageGroup(text, pos, group)) {
        const QString name =
            groupTagText(group, QStringLiteral("<LANGUAGE_NAME>"), QStringLiteral("</LANGUAGE_NAME>"));
        if (name.toUpper() == wanted) {
            m_itemLines = splitItemLines(groupTagText(group, QStringLiteral("<TRANSLATION_ITEMS>"),
                                                      QStringLiteral("</TRANSLATION_ITEMS>")));
            return;
        }
    }
}

QString clsLanguages::getCaption(const QString &strName) const
{
    if (!m_itemLines)
        throw platform::RuntimeError(9, kSource, QStringLiteral("Subscript out of range"));

    QString result;
    const QString wanted = strName.toUpper();
    for (const QString &line : *m_itemLines) {
        if (line.isEmpty())
            continue;
        QString key = line.section(QLatin1Char('>'), 0, 0);
        // A key needs something before its "<": "<A>" alone (no indentation) is never a key.
        if (key.size() > 2)
            key = key.mid(key.indexOf(QLatin1Char('<')) + 1);
        if (key.toUpper() != wanted)
            continue;

        const QString openTag = QLatin1Char('<') + strName + QLatin1Char('>');
        const QString closeTag = QStringLiteral("</") + strName + QLatin1Char('>');
        const qsizetype start = line.indexOf(openTag, 0, Qt::CaseInsensitive) + openTag.size();
        const qsizetype end = line.indexOf(closeTag, 0, Qt::CaseInsensitive);
        if (end < start)
            throw platform::RuntimeError(5, kSource, QStringLiteral("Invalid procedure call or argument"));
        result = line.mid(start, end - start);
        break;
    }

    result = replaceAnyCase(result, QStringLiteral("[ProgramName]"), strProgramName);
    result = replaceAnyCase(result, QStringLiteral("[CompanyName]"), strCompanyName);
    result = replaceAnyCase(result, QStringLiteral("[Website]"), WebsiteUrl);
    result = replaceAnyCase(result, QStringLiteral("[UserFolder]"), platform::userFolder());
    return upperFirst(result);
}

QString clsLanguages::ListLanguages() const
{
    return QString();
}

bool clsLanguages::LangFileExists(QString asPath) const
{
    return FileExists(asPath);
}

QString clsLanguages::LangTrimPath(QString asPath) const
{
    return StripPath(asPath);
}
