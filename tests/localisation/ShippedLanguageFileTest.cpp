// The language file that ships in the program folder: every language it offers can be
// loaded and translates every key of the English group.
#include "tests/localisation/LocalisationFixture.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace
{

class ShippedLanguageFileTest : public loctest::LocalisationTest
{
protected:
    void SetUp() override
    {
        LocalisationTest::SetUp();
        QFile file(QStringLiteral(CD_SOURCE_DIR "/resources/program/Localization.txt"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        shipped = file.readAll();
        writeLanguageFile(shipped);
        LoadDefaultMessages();
    }

    // Keys and raw texts of the items of the group loaded last, in file order.
    QList<QPair<QString, QString>> loadedItems() const
    {
        static const QRegularExpression itemLine(QStringLiteral("^\\t\\t<([A-Z0-9_]+)>(.*)</\\1>$"));
        QList<QPair<QString, QString>> items;
        for (const QString &line : *languages->loadedItemLines()) {
            if (line.isEmpty() || line == QLatin1String("\t"))
                continue;
            const auto match = itemLine.match(line);
            EXPECT_TRUE(match.hasMatch()) << line.toStdString();
            items.append({match.captured(1), match.captured(2)});
        }
        return items;
    }
    QStringList loadedKeys() const
    {
        QStringList keys;
        for (const auto &item : loadedItems())
            keys << item.first;
        return keys;
    }
    // The placeholders a text holds, in order.
    static QStringList placeholders(const QString &text)
    {
        static const QRegularExpression placeholder(
            QStringLiteral("\\[(ProgramName|CompanyName|Website|UserFolder)\\]"),
            QRegularExpression::CaseInsensitiveOption);
        QStringList found;
        for (auto it = placeholder.globalMatch(text); it.hasNext();)
            found << it.next().captured(1).toLower();
        found.sort();
        return found;
    }

    QByteArray shipped;
};

} // namespace

TEST_F(ShippedLanguageFileTest, WrittenAsTheTemplateWriterWritesIt)
{
    EXPECT_TRUE(shipped.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));
    EXPECT_EQ(shipped.count('\n'), shipped.count("\r\n"));
    EXPECT_TRUE(shipped.endsWith("</XML_DIZ_INFO>\r\n"));
    EXPECT_EQ(QString::fromUtf8(shipped).toUtf8(), shipped); // valid UTF-8
}

TEST_F(ShippedLanguageFileTest, EveryLanguageTranslatesEveryEnglishKey)
{
    languages->ChangeLanguage(nullptr, QStringLiteral("English"));
    const QStringList englishKeys = loadedKeys();
    QHash<QString, QStringList> englishPlaceholders;
    for (const auto &item : loadedItems())
        englishPlaceholders.insert(item.first, placeholders(item.second));
    for (const char *id :
         {"MSG_CHANNELLIST", "MSG_DELETED", "MSG_NOTFOUND", "MSG_STATUS1", "MSG_STATUS2", "MSG_STATUS3",
          "MSG_STATUS4", "FORM1_CMDTV", "FORM1_LISTVIEW1_COL1", "FORM1_MNUFILEITEM2", "FORM1_CAPTION",
          "FRMLANGUAGE_LABEL1", "FRMLANGUAGE_COMMAND3", "FRMLANGUAGE_CAPTION", "FRMSUBMIT_LABEL6",
          "FRMSUBMIT_CHKFAVORITES", "FRMSUBMIT_CMDADD", "FRMSUBMIT_CAPTION"})
        EXPECT_TRUE(englishKeys.contains(QLatin1String(id))) << id;

    for (const char *name : {"Deutsch", "Français", "Español"}) {
        const QString language = QString::fromUtf8(name);
        languages->ChangeLanguage(nullptr, language);
        EXPECT_EQ(strLanguage, language);
        EXPECT_EQ(loadedKeys(), englishKeys) << name;
        for (const QString &key : englishKeys)
            EXPECT_FALSE(languages->getCaption(key).isEmpty()) << name << " " << key.toStdString();
        for (const auto &item : loadedItems())
            EXPECT_EQ(placeholders(item.second), englishPlaceholders.value(item.first))
                << name << " " << item.first.toStdString();
        EXPECT_NE(languages->getMessages(QStringLiteral("MSG_STATUS1")), QStringLiteral("Total Channels: "))
            << name;
    }
}

TEST_F(ShippedLanguageFileTest, BrandNamesAndTheUserFolderAreFilledIn)
{
    languages->ChangeLanguage(nullptr, QStringLiteral("English"));
    EXPECT_EQ(languages->getCaption(QStringLiteral("FORM1_CAPTION")),
              QStringLiteral("TestProduct by TestCompany"));
    EXPECT_TRUE(
        languages->getCaption(QStringLiteral("FORM1_LABEL5"))
            .contains("Data.htm will be saved in your ChannelDeck folder (" + env->userFolder() + ")."));
    EXPECT_EQ(languages->getCaption(QStringLiteral("FORM1_CMDWEBSITE")),
              QStringLiteral("Visit www.example.test"));
    languages->ChangeLanguage(nullptr, QStringLiteral("Deutsch"));
    EXPECT_EQ(languages->getCaption(QStringLiteral("FORM1_CAPTION")),
              QStringLiteral("TestProduct von TestCompany"));
}
