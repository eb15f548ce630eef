// Reading Localization.txt: finding a language group, looking keys up, and files that are
// not as they should be.
#include "tests/localisation/LocalisationFixture.h"

#include "platform/core/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using loctest::Group;
using loctest::item;

namespace
{

class LanguageFileTest : public loctest::LocalisationTest
{
protected:
    // Loads a language the way every caller does: through a translation (here of no window).
    void load(const QString &name) { languages->ChangeLanguage(nullptr, name); }
    QString caption(const QString &key) const { return languages->getCaption(key); }

    static Group english()
    {
        return {QStringLiteral("English"), {item("KEY_A", "Hello"), item("KEY_B", "World")}};
    }
    static Group german()
    {
        return {QStringLiteral("Deutsch"), {item("KEY_A", "Hallo"), item("KEY_B", "Welt")}};
    }
};

} // namespace

TEST_F(LanguageFileTest, GroupNamesMatchInAnyLetterCase)
{
    writeLanguageFile({english(), german()});
    load(QStringLiteral("DEUTSCH"));
    EXPECT_EQ(strLanguage, QStringLiteral("DEUTSCH"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hallo"));
    load(QStringLiteral("english"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hello"));
}

TEST_F(LanguageFileTest, TheUsersOwnFileWinsOverTheShippedOne)
{
    writeLanguageFile({english(), german()});
    load(QStringLiteral("Deutsch"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hallo"));

    // A downloaded file in the user folder, with the name in other letters as an older one had.
    env->writeFile(env->userFolder() + QStringLiteral("/localization.txt"),
                   loctest::languageFile({{QStringLiteral("Deutsch"), {item("KEY_A", "Servus")}}}));
    load(QStringLiteral("Deutsch"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Servus"));

    // Reading made nothing: no folder appears for a user who has none.
    ASSERT_TRUE(QDir(env->userFolder()).removeRecursively());
    load(QStringLiteral("Deutsch"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hallo"));
    EXPECT_FALSE(QFileInfo::exists(env->userFolder()));
}

TEST_F(LanguageFileTest, GroupNameWithABlankIsAnotherName)
{
    Group leading = german();
    leading.name = QStringLiteral(" Deutsch");
    Group trailing = german();
    trailing.name = QStringLiteral("Deutsch ");
    writeLanguageFile({leading, trailing, english()});
    load(QStringLiteral("Deutsch"));
    // Not found on the first call: English is loaded instead.
    EXPECT_EQ(strLanguage, QStringLiteral("English"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hello"));
    load(QStringLiteral(" deutsch"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hallo"));
}

TEST_F(LanguageFileTest, KeysMatchInAnyLetterCase)
{
    writeLanguageFile({english()});
    load(QStringLiteral("English"));
    EXPECT_EQ(caption(QStringLiteral("key_b")), QStringLiteral("World"));
    EXPECT_EQ(caption(QStringLiteral("Key_B")), QStringLiteral("World"));
    EXPECT_EQ(caption(QStringLiteral("KEY_C")), QString());
}

TEST_F(LanguageFileTest, PlaceholdersInAnyCaseAndTheFirstLetter)
{
    writeLanguageFile({{QStringLiteral("English"),
                        {item("K1", "visit [website] of [companyname], home of [PROGRAMNAME]"),
                         item("K2", "[ProgramName]"), item("K3", "élan")}}});
    load(QStringLiteral("English"));
    EXPECT_EQ(caption(QStringLiteral("K1")),
              QStringLiteral("Visit www.example.test of TestCompany, home of TestProduct"));
    EXPECT_EQ(caption(QStringLiteral("K2")), QStringLiteral("TestProduct"));
    EXPECT_EQ(caption(QStringLiteral("K3")), QStringLiteral("Élan"));
}

TEST_F(LanguageFileTest, TextIsTakenLiterally)
{
    writeLanguageFile({{QStringLiteral("English"),
                        {item("K1", "Fish &amp; Chips"), item("K2", "a <b>bold</b> claim"),
                         item("K3", "Größe – 日本語 – YouTube™")}}});
    load(QStringLiteral("English"));
    EXPECT_EQ(caption(QStringLiteral("K1")), QStringLiteral("Fish &amp; Chips"));
    EXPECT_EQ(caption(QStringLiteral("K2")), QStringLiteral("A <b>bold</b> claim"));
    EXPECT_EQ(caption(QStringLiteral("K3")), QStringLiteral("Größe – 日本語 – YouTube™"));
}

TEST_F(LanguageFileTest, FirstMatchingLineWinsEvenWhenEmpty)
{
    writeLanguageFile(
        {{QStringLiteral("English"),
          {item("DUP", "first"), item("dup", "second"), item("EMPTY", ""), item("EMPTY", "later")}}});
    load(QStringLiteral("English"));
    EXPECT_EQ(caption(QStringLiteral("DUP")), QStringLiteral("First"));
    EXPECT_EQ(caption(QStringLiteral("EMPTY")), QString());
}

TEST_F(LanguageFileTest, OneCharacterKeyNeedsIndentation)
{
    writeLanguageFile(
        {{QStringLiteral("English"),
          {QStringLiteral("<A>bare</A>"), item("B", "indented"), QStringLiteral("<CD>two</CD>")}}});
    load(QStringLiteral("English"));
    EXPECT_EQ(caption(QStringLiteral("A")), QString());
    EXPECT_EQ(caption(QStringLiteral("B")), QStringLiteral("Indented"));
    EXPECT_EQ(caption(QStringLiteral("CD")), QStringLiteral("Two"));
}

TEST_F(LanguageFileTest, LookupBeforeAnyLoadFails)
{
    EXPECT_THROW(caption(QStringLiteral("KEY_A")), platform::RuntimeError);
}

TEST_F(LanguageFileTest, WithoutAFileOnlyTheLanguageNameChanges)
{
    load(QStringLiteral("Deutsch"));
    EXPECT_EQ(strLanguage, QStringLiteral("English"));
    EXPECT_THROW(caption(QStringLiteral("KEY_A")), platform::RuntimeError);

    writeLanguageFile({english(), german()});
    load(QStringLiteral("Deutsch"));
    QFile::remove(languageFilePath());
    load(QStringLiteral("Français"));
    EXPECT_EQ(strLanguage, QStringLiteral("Français"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hallo"));
}

TEST_F(LanguageFileTest, LineFeedsAloneMakeOneLineWhereOnlyTheFirstItemIsFound)
{
    writeLanguageFile(
        QByteArray("<LANGUAGE_GROUP>\r\n\t<LANGUAGE_NAME>Unix</LANGUAGE_NAME>\r\n\t<TRANSLATION_ITEMS>"
                   "\n\t\t<K1>one</K1>\n\t\t<K2>two</K2>\n\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n"));
    load(QStringLiteral("Unix"));
    // One line counts as nothing loaded, and no English group exists to replace it.
    EXPECT_EQ(strLanguage, QStringLiteral("English"));
    ASSERT_TRUE(languages->loadedItemLines().has_value());
    EXPECT_EQ(languages->loadedItemLines()->size(), 1);
    EXPECT_EQ(caption(QStringLiteral("K1")), QStringLiteral("One"));
    EXPECT_EQ(caption(QStringLiteral("K2")), QString());
}

TEST_F(LanguageFileTest, KeyLineWithoutClosingTagFailsOnlyItsOwnKey)
{
    writeLanguageFile(
        {{QStringLiteral("English"), {QStringLiteral("\t\t<BROKEN>no end"), item("FINE", "intact")}}});
    load(QStringLiteral("English"));
    EXPECT_THROW(caption(QStringLiteral("BROKEN")), platform::RuntimeError);
    EXPECT_EQ(caption(QStringLiteral("FINE")), QStringLiteral("Intact"));
}

TEST_F(LanguageFileTest, MalformedGroupsFailTheLoadAndKeepThePreviousLanguage)
{
    const QByteArray good = loctest::languageFile({english(), german()});
    const QList<QByteArray> broken{
        // A group without its closing tag before the wanted one: it runs to the wanted
        // group's closing tag and swallows it.
        loctest::languageFile({english()}).replace("</LANGUAGE_GROUP>", "") +
            loctest::languageFile({german()}),
        // The wanted group without any closing tag after it.
        loctest::languageFile({english(), german()}).replace("</LANGUAGE_GROUP>\r\n</XML", "</XML"),
        // A group without its name tags before the wanted one.
        loctest::languageFile({english(), german()})
            .replace("<LANGUAGE_NAME>English</LANGUAGE_NAME>", "English"),
        // The wanted group without its items tags.
        loctest::languageFile({english(), german()})
            .replace("\t</TRANSLATION_ITEMS>\r\n</LANGUAGE_GROUP>\r\n</XML", "</LANGUAGE_GROUP>\r\n</XML"),
        // A stray closing tag ahead of the first group.
        QByteArray("</LANGUAGE_GROUP>\r\n") + loctest::languageFile({german()}),
    };
    for (const QByteArray &content : broken) {
        writeLanguageFile(good);
        load(QStringLiteral("English"));
        writeLanguageFile(content);
        load(QStringLiteral("Deutsch"));
        EXPECT_EQ(strLanguage, QStringLiteral("Deutsch"));
        EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Hello")) << content.constData();
    }
}

TEST_F(LanguageFileTest, NonAsciiLanguageNamesAndTexts)
{
    writeLanguageFile({english(),
                       {QStringLiteral("Français"), {item("KEY_A", "chaînes télé"), item("KEY_B", "é")}},
                       {QStringLiteral("日本語"), {item("KEY_A", "こんにちは"), item("KEY_B", "世界")}}});
    load(QStringLiteral("FRANÇAIS"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("Chaînes télé"));
    load(QStringLiteral("日本語"));
    EXPECT_EQ(caption(QStringLiteral("KEY_A")), QStringLiteral("こんにちは"));
}

TEST_F(LanguageFileTest, FileNameOperations)
{
    EXPECT_EQ(languages->LangTrimPath(QStringLiteral("/opt/ChannelDeck/Localization.txt")),
              QStringLiteral("Localization.txt"));
    EXPECT_EQ(languages->LangTrimPath(QStringLiteral("Localization.txt")),
              QStringLiteral("Localization.txt"));
    EXPECT_EQ(languages->LangTrimPath(QString()), QString());

    EXPECT_FALSE(languages->LangFileExists(languageFilePath()));
    writeLanguageFile({english()});
    EXPECT_TRUE(languages->LangFileExists(languageFilePath()));
    EXPECT_FALSE(languages->LangFileExists(env->programFolder()));
    EXPECT_FALSE(languages->LangFileExists(env->programFolder() + QStringLiteral("/*.txt")));
    EXPECT_EQ(languages->ListLanguages(), QString());
}
