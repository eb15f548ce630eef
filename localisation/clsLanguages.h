// The language object: the message table, the loaded language group of Localization.txt,
// window translation and the template writer.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QObject;
namespace ui
{
class Form;
}

class clsLanguages
{
public:
    void setMessage(const QString &strName, const QString &strMessage);
    QString getMessages(const QString &strName) const;

    void ChangeLanguage(ui::Form *myForm, const QString &strLang);
    void ChangeLanguageMDI(ui::Form *myForm, const QString &strLang);

    // Throws platform::RuntimeError when no language has ever been loaded, or when the
    // matching item line lacks its closing tag; translation callers ignore it.
    QString getCaption(const QString &strName) const;
    QString ListLanguages() const;
    bool LangFileExists(QString asPath) const;
    QString LangTrimPath(QString asPath) const;

    void makeLocalizationFile();

    static constexpr int MessageCount = 201;
    // The item lines of the language loaded last; absent before the first load.
    const std::optional<QStringList> &loadedItemLines() const { return m_itemLines; }

private:
    struct MessageEntry {
        QString name;
        QString message;
        bool inUse = false;
    };

    // Throws platform::RuntimeError on a malformed file; the lines already loaded stay.
    void LoadLanguageGroup(const QString &strLang);
    void translateWindow(ui::Form *myForm, const QString &strLang, bool typeNamesIgnoreCase);
    void translateControl(QObject *control, const QString &formName, const QString &typeName);

    std::optional<QStringList> m_itemLines;
    MessageEntry m_messages[MessageCount];
};
