// The message table: registration, lookup by id and the text a lookup hands back.
#include "tests/localisation/LocalisationFixture.h"

using loctest::LocalisationTest;

using MessageTableTest = LocalisationTest;

TEST_F(MessageTableTest, DefaultMessagesAnswerToTheirIdsInAnyLetterCase)
{
    LoadDefaultMessages();
    EXPECT_EQ(languages->getMessages(QStringLiteral("msg_status1")), QStringLiteral("Total Channels: "));
    EXPECT_EQ(languages->getMessages(QStringLiteral("Msg_NotFound")),
              QStringLiteral("TV Channel file was not found.  No channels could be loaded.  "
                             "Please reinstall or repair this program."));
    EXPECT_EQ(languages->getMessages(QStringLiteral("MSG_STATUS3")),
              QStringLiteral(" | Laguages/Categories: "));
    // Ids compare by letter case only: a blank makes another id.
    EXPECT_EQ(languages->getMessages(QStringLiteral(" MSG_STATUS1")), QString());
}

TEST_F(MessageTableTest, IdsTheChooserAsksForAreNotRegistered)
{
    LoadDefaultMessages();
    EXPECT_EQ(languages->getMessages(QStringLiteral("MSG_DOWNLOADED")), QString());
    EXPECT_EQ(languages->getMessages(QStringLiteral("MSG_TITLELANGUAGE")), QString());
}

TEST_F(MessageTableTest, PlaceholdersInAnyCaseAreFilledAndTheFirstLetterUpperCased)
{
    languages->setMessage(QStringLiteral("A"), QStringLiteral("welcome to [programname] of [COMPANYName]"));
    languages->setMessage(QStringLiteral("B"), QStringLiteral("see [Website]"));
    languages->setMessage(QStringLiteral("C"), QStringLiteral("[ProgramName] rules"));
    languages->setMessage(QStringLiteral("D"), QStringLiteral("ärger"));
    EXPECT_EQ(languages->getMessages(QStringLiteral("A")),
              QStringLiteral("Welcome to TestProduct of TestCompany"));
    // The website is filled in only by translations.
    EXPECT_EQ(languages->getMessages(QStringLiteral("B")), QStringLiteral("See [Website]"));
    EXPECT_EQ(languages->getMessages(QStringLiteral("C")), QStringLiteral("TestProduct rules"));
    EXPECT_EQ(languages->getMessages(QStringLiteral("D")), QStringLiteral("Ärger"));
}

TEST_F(MessageTableTest, TextStartingWithABlankComesBackUnchanged)
{
    LoadDefaultMessages();
    EXPECT_EQ(languages->getMessages(QStringLiteral("MSG_STATUS2")), QStringLiteral(" | Showing: "));
    EXPECT_EQ(
        languages->getMessages(QStringLiteral("MSG_STATUS4")),
        QStringLiteral(" | Don't forget to rate your favorite channels with the Channel Actions button"));
}

TEST_F(MessageTableTest, FirstRegistrationOfAnIdWins)
{
    languages->setMessage(QStringLiteral("MSG_X"), QStringLiteral("first"));
    languages->setMessage(QStringLiteral("msg_x"), QStringLiteral("second"));
    EXPECT_EQ(languages->getMessages(QStringLiteral("MSG_X")), QStringLiteral("First"));
}

TEST_F(MessageTableTest, TableHolds201EntriesAndDropsFurtherOnes)
{
    for (int i = 0; i < clsLanguages::MessageCount; ++i)
        languages->setMessage(QStringLiteral("ID%1").arg(i), QStringLiteral("text %1").arg(i));
    languages->setMessage(QStringLiteral("EXTRA"), QStringLiteral("dropped"));
    EXPECT_EQ(languages->getMessages(QStringLiteral("ID0")), QStringLiteral("Text 0"));
    EXPECT_EQ(languages->getMessages(QStringLiteral("ID200")), QStringLiteral("Text 200"));
    EXPECT_EQ(languages->getMessages(QStringLiteral("EXTRA")), QString());
}

TEST_F(MessageTableTest, ModuleShorthandsAreSafeWithoutALanguageObject)
{
    objLanguages = nullptr;
    LoadDefaultMessages();
    ChangeLanguage(nullptr, QStringLiteral("Deutsch"));
    EXPECT_EQ(strLanguage, QString());
    EXPECT_EQ(languages->getMessages(QStringLiteral("MSG_STATUS1")), QString());
}
