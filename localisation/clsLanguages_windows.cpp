// The language object's work on windows: translating a window's captions, menus, tabs and
// column headers and the registered messages, and writing the language template.
#include "localisation/clsLanguages.h"

#include "localisation/modLanguages.h"
#include "platform/core/Text.h"
#include "platform/core/UserFolder.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Forms.h"
#include "services/modSaveFile.h"

#include <QMetaObject>
#include <QVariant>

namespace
{

// Each statement of a translation or of the template stands alone: one that fails is
// skipped and the next one runs.
template <class Statement> void ignoreErrors(Statement &&statement)
{
    try {
        statement();
    } catch (...) {
    }
}

bool isCaptionType(const QString &type)
{
    static const QStringList types{QStringLiteral("Label"), QStringLiteral("CommandButton"),
                                   QStringLiteral("SkinLabel"), QStringLiteral("Frame"),
                                   QStringLiteral("CheckBox")};
    return types.contains(type);
}

// The type name as the walk compares it; the MDI walk ignores letter case and the blanks
// (not other white space) around it.
QString typeForComparison(const QObject *control, bool ignoreCase)
{
    const QString type = ui::typeName(control);
    if (!ignoreCase)
        return type;
    static const QStringList known{
        QStringLiteral("Label"),    QStringLiteral("CommandButton"), QStringLiteral("SkinLabel"),
        QStringLiteral("Frame"),    QStringLiteral("CheckBox"),      QStringLiteral("TabStrip"),
        QStringLiteral("ListView"), QStringLiteral("OptionButton"),  QStringLiteral("Menu")};
    const QString lowered = platform::trimBlanks(type).toLower();
    for (const QString &name : known) {
        if (name.toLower() == lowered)
            return name;
    }
    return type;
}

// The key suffix of a menu: its index in its menu group, "0" for a menu of its own.
QString menuIndex(const QObject *menu)
{
    return QString::number(qMax(0, ui::controlIndex(menu)));
}

// The user folder differs per user: a template keeps its placeholder, so that a translation
// made from it shows each user's own folder.
QString itemLine(const QString &key, QString text)
{
    text.replace(platform::userFolder(), QStringLiteral("[UserFolder]"));
    return QStringLiteral("\t\t<") + key + QLatin1Char('>') + text + QStringLiteral("</") + key +
           QLatin1Char('>');
}

} // namespace

void clsLanguages::ChangeLanguage(ui::Form *myForm, const QString &strLang)
{
    translateWindow(myForm, strLang, false);
}

void clsLanguages::ChangeLanguageMDI(ui::Form *myForm, const QString &strLang)
{
    translateWindow(myForm, strLang, true);
}

void clsLanguages::translateWindow(ui::Form *myForm, const QString &strLang, bool typeNamesIgnoreCase)
{
    ignoreErrors([&] { LoadLanguageGroup(strLang); });
    if (!m_itemLines || m_itemLines->size() == 1)
        ignoreErrors([&] { LoadLanguageGroup(QStringLiteral("English")); });

    if (myForm) {
        const QString formName = myForm->Name();
        for (QObject *control : myForm->controls())
            translateControl(control, formName, typeForComparison(control, typeNamesIgnoreCase));

        ignoreErrors([&] {
            const QString caption = getCaption(formName.toUpper() + QStringLiteral("_CAPTION"));
            if (!caption.isEmpty())
                myForm->setCaption(caption);
        });
    }

    for (MessageEntry &entry : m_messages) {
        if (!entry.inUse)
            continue;
        ignoreErrors([&] {
            const QString text = getCaption(entry.name);
            if (!text.isEmpty())
                entry.message = text;
        });
    }
}

void clsLanguages::translateControl(QObject *control, const QString &formName, const QString &typeName)
{
    const QString key = formName + QLatin1Char('_') + control->objectName();
    // A lookup without a translation, or one that fails, leaves the text as it is.
    const auto translate = [this](const QString &itemKey, const auto &apply) {
        ignoreErrors([&] {
            const QString text = getCaption(itemKey);
            if (!text.isEmpty())
                apply(text);
        });
    };
    const auto setCaption = [control](const QString &text) { control->setProperty("Caption", text); };
    const auto repaint = [control] { QMetaObject::invokeMethod(control, "Refresh"); };

    if (isCaptionType(typeName)) {
        translate(key, setCaption);
        repaint();
    } else if (typeName == QLatin1String("TabStrip")) {
        if (auto *tabs = qobject_cast<ui::TabStrip *>(control)) {
            const int count = tabs->TabCount();
            for (int i = 1; i <= count; ++i)
                translate(key + QStringLiteral("_TABS") + QString::number(i),
                          [tabs, i](const QString &text) { tabs->setTabCaption(i, text); });
        }
        repaint();
    } else if (typeName == QLatin1String("ListView")) {
        if (auto *view = qobject_cast<ui::ListView *>(control)) {
            const int count = view->ColumnHeaders()->Count();
            for (int i = 1; i <= count; ++i)
                translate(key + QStringLiteral("_COL") + QString::number(i),
                          [view, i](const QString &text) { view->ColumnHeaders()->Item(i)->setText(text); });
        }
        repaint();
    } else if (typeName == QLatin1String("OptionButton")) {
        // A button outside a control group has no index, so no key: it stays as it is.
        const int index = ui::controlIndex(control);
        if (index >= 0)
            translate(key + QString::number(index), setCaption);
        repaint();
    } else if (typeName == QLatin1String("Menu")) {
        translate(key + menuIndex(control), setCaption);
    }
}

void clsLanguages::makeLocalizationFile()
{
    QStringList lines{
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<XML_DIZ_INFO>"),
        QStringLiteral("\t<LOCALIZATION_FILE_INFO>"),
        QStringLiteral("\t\t<LOCALIZATION_FILE_VERSION>1.0</LOCALIZATION_FILE_VERSION>"),
        QStringLiteral("\t</LOCALIZATION_FILE_INFO>"),
        QStringLiteral("<LANGUAGE_GROUP xml:lang=\"en\">"),
        QStringLiteral("\t<LANGUAGE_NAME>English</LANGUAGE_NAME>"),
        QStringLiteral(
            "\t<DESCRIPTION>This file contains various translations of program buttons, messages "
            "and menus in XML format.  The original document was created using translation software, "
            "and may sound strange when read by people.  We invite you to make modifications to "
            "existing languages and translate new languages.  Please send them to us so that we can "
            "update this file and make your translation available to all users.  Our current email "
            "address is located on our homepage which can be visited through the software or our "
            "program folder on your Start Menu.  Before making changes to a localization file please "
            "use the program to download the most recent localization file using the 'Check for "
            "Language Updates' button in the Languages window.</DESCRIPTION>"),
        QStringLiteral("\t<TRANSLATION_ITEMS>"),
    };

    for (ui::Form *form : ui::Forms::loaded()) {
        const QString windowKey = form->Name().toUpper() + QLatin1Char('_');
        for (QObject *control : form->controls()) {
            const QString type = ui::typeName(control);
            const QString key = windowKey + control->objectName().toUpper();
            const QVariant caption = control->property("Caption");

            if (isCaptionType(type)) {
                if (caption.isValid())
                    lines << itemLine(key, caption.toString());
            } else if (type == QLatin1String("TabStrip")) {
                if (auto *tabs = qobject_cast<ui::TabStrip *>(control)) {
                    for (int i = 1; i <= tabs->TabCount(); ++i)
                        lines << itemLine(key + QStringLiteral("_TABS") + QString::number(i),
                                          tabs->TabCaption(i));
                }
            } else if (type == QLatin1String("OptionButton")) {
                const int index = ui::controlIndex(control);
                if (index >= 0 && caption.isValid())
                    lines << itemLine(key + QString::number(index), caption.toString());
            } else if (type == QLatin1String("ListView")) {
                if (auto *view = qobject_cast<ui::ListView *>(control)) {
                    ui::ColumnHeaderCollection *headers = view->ColumnHeaders();
                    for (int i = 1; i <= headers->Count(); ++i)
                        lines << itemLine(key + QStringLiteral("_COL") + QString::number(i),
                                          headers->Item(i)->Text());
                }
            } else if (type == QLatin1String("Menu")) {
                if (caption.isValid())
                    lines << itemLine(key + menuIndex(control), caption.toString());
            }
            lines << itemLine(windowKey + QStringLiteral("CAPTION"), form->Caption());
        }
    }

    for (const MessageEntry &entry : m_messages) {
        if (!entry.inUse)
            break;
        lines << itemLine(entry.name.toUpper(), entry.message);
    }

    lines << QStringLiteral("\t</TRANSLATION_ITEMS>") << QStringLiteral("</LANGUAGE_GROUP>")
          << QStringLiteral("</XML_DIZ_INFO>");
    SaveFileOrTell(LocalizationFileForWriting(),
                   (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8(),
                   QStringLiteral("The language template"));
}
