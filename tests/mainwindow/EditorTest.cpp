// The channel-list editor: decrypt-load, edit and encrypt-save of the channel lines, the
// Data.htm export with and without the access code, find and replace, delete, add and edit,
// duplicates removal, the sectioned import file and closing the panel.
#include "tests/mainwindow/MainWindowFixture.h"

#include "services/modGenDec.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTest>
#include <memory>

using namespace mwtest;

namespace
{

QByteArray scrambled(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines)
        out += EncryptString(line.toUtf8()) + "\r\n";
    return out;
}

class EditorTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        env->writeFile(env->programFolder() + QStringLiteral("/admin.txt"), QByteArray());
        writeData({});
        f = loadForm1();
        ASSERT_NE(f, nullptr);
        // Editor mode as the start-up leaves it.
        f->blnAdmin = true;
        f->Frame2->setVisible(true);
        f->chkLoad->setValue(ui::vbChecked);
        tester = std::make_unique<QAbstractItemModelTester>(
            f->ListView1->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        boxes->clear();
    }

    void TearDown() override
    {
        tester.reset();
        MainWindowTest::TearDown();
    }

    void writeEditorData(const QByteArray &content) const
    {
        env->writeFile(env->dataHome() + QStringLiteral("/TVDAT/Data.txt"), content);
    }
    QByteArray exported() const
    {
        return testsupport::TempEnvironment::readFile(env->userFolder() + QStringLiteral("/Data.htm"));
    }

    ui::ListItem *item(int i) const { return f->ListView1->ListItems()->Item(i); }
    int count() const { return f->ListView1->ListItems()->Count(); }
    // Every item as "text|sub1|sub2|sub3|tag".
    QStringList rows() const
    {
        QStringList out;
        for (int i = 1; i <= count(); ++i) {
            const ui::ListItem *it = item(i);
            out.append(
                QStringList{it->Text(), it->SubItems(1), it->SubItems(2), it->SubItems(3), it->Tag()}.join(
                    QLatin1Char('|')));
        }
        return out;
    }
    void add(const QString &name, const QString &category, const QString &type, const QString &url)
    {
        f->txtAddName->setText(name);
        f->cmbAddCategory->setText(category);
        f->txtAddType->setText(type);
        f->txtAddURL->setText(url);
        f->cmdAdd->click();
    }
    void replace(const QString &find, const QString &with, const QString &column)
    {
        f->Text2->setText(find);
        f->Text3->setText(with);
        f->Combo2->setText(column);
        f->cmdReplace->click();
    }
    QStringList names() const { return itemTexts(f->ListView1); }

    Form1 *f = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(EditorTest, DecryptLoadEditEncryptSaveRoundTrip)
{
    writeEditorData(scrambled({"Alpha|http://a.example/1|TV|English", "a line without bars",
                               "Beta|http://b.example/2|Radio|Spanish|extra|fields",
                               QStringLiteral("Gämma Ünï|http://c.example/3|Video|Deutsch")}));
    f->doLoad->click();
    EXPECT_EQ(rows(),
              (QStringList{"Alpha|TV|English|http://a.example/1|http://a.example/1",
                           "Beta|Radio|Spanish|http://b.example/2|http://b.example/2",
                           QStringLiteral("Gämma Ünï|Video|Deutsch|http://c.example/3|http://c.example/3")}));

    // Edit the second channel; its tag keeps the address it was loaded with.
    f->ListView1->setSelectedItem(item(2));
    f->txtEditName->setText("Beta Two");
    f->cmbEditCateogy->setText("XXX");
    f->txtEditType->setText("Catalan");
    f->txtEditURL->setText("http://b.example/new");
    f->cmdEdit->click();
    EXPECT_EQ(rows().at(1), "Beta Two|XXX|Catalan|http://b.example/new|http://b.example/2");

    f->save->click();
    const QByteArray htm = exported();
    EXPECT_EQ(htm, QByteArray("<data>\r\n") +
                       scrambled({"Alpha|http://a.example/1|TV|English",
                                  "Beta Two|http://b.example/new|XXX|Catalan",
                                  QStringLiteral("Gämma Ünï|http://c.example/3|Video|Deutsch")}) +
                       "</data>\r\n");
    EXPECT_TRUE(f->txtData->Text().startsWith("<data>"));
    EXPECT_TRUE(f->txtData->Text().contains("</data>"));
    EXPECT_EQ(boxes->count(), 0);

    // The export's channel lines load back as the edited list.
    QList<QByteArray> lines = htm.split('\n');
    writeEditorData(lines.mid(1, 3).join('\n') + '\n');
    f->Clear->click();
    EXPECT_EQ(count(), 0);
    f->doLoad->click();
    EXPECT_EQ(names(), (QStringList{"Alpha", "Beta Two", QStringLiteral("Gämma Ünï")}));
    EXPECT_EQ(item(2)->Tag(), "http://b.example/new");
}

TEST_F(EditorTest, AccessCodeWritesPlainLinesOnlyWhenExact)
{
    f->cmdAdd->click(); // the boxes at their design texts
    EXPECT_EQ(rows(), QStringList{"Name|TV|Language/Type|URL|"});

    f->Text5->setText("6947");
    f->save->click();
    EXPECT_EQ(exported(), QByteArray("<data>\r\nName|URL|TV|Language/Type\r\n</data>\r\n"));
    EXPECT_EQ(f->txtData->Text().remove('\r'), "<data>\n\nName|URL|TV|Language/Type</data>\n");

    for (const char *code : {"key", "", "6947 ", " 6947", "06947"}) {
        SCOPED_TRACE(code);
        f->Text5->setText(QLatin1String(code));
        f->save->click();
        EXPECT_EQ(exported(),
                  QByteArray("<data>\r\n") + scrambled({"Name|URL|TV|Language/Type"}) + "</data>\r\n");
    }
}

TEST_F(EditorTest, SaveOfAnEmptyListReplacesTheOldExportWhole)
{
    env->writeFile(env->userFolder() + QStringLiteral("/Data.htm"), "<data>\r\nold|line\r\n</data>\r\n");
    f->save->click();
    EXPECT_EQ(exported(), QByteArray("<data>\r\n</data>\r\n"));
    EXPECT_FALSE(QFile::exists(env->programFolder() + QStringLiteral("/Data.htm")));
    EXPECT_EQ(f->txtData->Text().remove('\r'), "<data>\n</data>\n");
}

TEST_F(EditorTest, LoadAppendsEveryTimeAndUnreadableInputLeavesTheList)
{
    add("Kept", "TV", "English", "http://k.example/");
    writeEditorData(scrambled({"One|http://1.example/|TV|English", "Two|http://2.example/|Radio|Music"}));
    f->doLoad->click();
    f->doLoad->click();
    EXPECT_EQ(names(), (QStringList{"Kept", "One", "Two", "One", "Two"}));

    // A channel line cut short: nothing of the file is loaded.
    writeEditorData(scrambled({"Three|http://3.example/|TV|English", "Four|http://4.example/|TV"}));
    f->doLoad->click();
    EXPECT_EQ(count(), 5);

    ASSERT_TRUE(QFile::remove(env->dataHome() + QStringLiteral("/TVDAT/Data.txt")));
    f->doLoad->click();
    EXPECT_EQ(count(), 5);
    EXPECT_EQ(boxes->count(), 0);
}

TEST_F(EditorTest, FindAndReplaceByColumn)
{
    add("World news", "TV", "English", "u1");
    add("NEWS 24", "TV", "english", "u2");
    add("Newsroom nEwS", "TV", "English/French", "u3");

    replace("news", "News", "Channel");
    EXPECT_EQ(names(), (QStringList{"World News", "News 24", "Newsroom News"}));

    replace("English", "EN", "Language");
    EXPECT_EQ(item(1)->SubItems(2), "EN");
    EXPECT_EQ(item(2)->SubItems(2), "english");
    EXPECT_EQ(item(3)->SubItems(2), "English/French");

    // Any other column text, or nothing to find: nothing changes.
    const QStringList before = rows();
    replace("News", "X", "Type");
    replace("News", "X", "channel");
    replace("", "X", "Channel");
    replace("", "X", "Language");
    EXPECT_EQ(rows(), before);
}

TEST_F(EditorTest, EnterInTheFindOrReplaceBoxReplaces)
{
    add("abc", "TV", "T", "u");
    f->Combo2->setText("Channel");
    f->Text2->setText("b");
    f->Text3->setText("X");
    QTest::keyClick(f->Text2->editor(), Qt::Key_Return);
    EXPECT_EQ(names(), QStringList{"aXc"});
    f->Text2->setText("x");
    f->Text3->setText("y");
    QTest::keyClick(f->Text3->editor(), Qt::Key_Enter);
    EXPECT_EQ(names(), QStringList{"ayc"});
    // Other keys are typed, not acted on.
    QTest::keyClick(f->Text3->editor(), Qt::Key_Z);
    EXPECT_EQ(f->Text3->Text(), "yz");
    EXPECT_EQ(names(), QStringList{"ayc"});
}

TEST_F(EditorTest, ReplaceInASortedListChangesEachItemOnce)
{
    add("a1", "TV", "T", "u");
    add("a2", "TV", "T", "u");
    add("b", "TV", "T", "u");
    f->ListView1->setSorted(true);
    f->ListView1->setSortKey(0);
    f->ListView1->setSortOrder(ui::ListView::lvwAscending);
    replace("a", "za", "Channel");
    EXPECT_EQ(names(), (QStringList{"b", "za1", "za2"}));
}

TEST_F(EditorTest, DeleteRemovesTheSelectedItemOnly)
{
    add("One", "TV", "T", "u");
    add("Two", "TV", "T", "u");
    add("Three", "TV", "T", "u");
    f->ListView1->setSelectedItem(item(2));
    f->DELChannel->click();
    EXPECT_EQ(names(), (QStringList{"One", "Three"}));

    f->ListView1->setSelectedItem(nullptr);
    ASSERT_EQ(f->ListView1->SelectedItem(), nullptr);
    f->DELChannel->click();
    EXPECT_EQ(names(), (QStringList{"One", "Three"}));
}

TEST_F(EditorTest, EditAndMusicTypeNeedASelectedItem)
{
    add("One", "TV", "T", "u");
    f->ListView1->setSelectedItem(nullptr);
    f->txtEditName->setText("Changed");
    f->cmdEdit->click();
    f->Text4->setText("Jazz");
    f->cmdMusic->click();
    EXPECT_EQ(rows(), QStringList{"One|TV|T|u|"});
    EXPECT_EQ(f->Text4->Text(), "Jazz");

    f->ListView1->setSelectedItem(item(1));
    f->cmdMusic->click();
    EXPECT_EQ(item(1)->SubItems(3), "Jazz");
    EXPECT_EQ(f->Text4->Text(), "");

    f->Text4->setText("Blues");
    QTest::keyClick(f->Text4->editor(), Qt::Key_Return);
    EXPECT_EQ(item(1)->SubItems(3), "Blues");
    EXPECT_EQ(f->Text4->Text(), "");
}

TEST_F(EditorTest, RemoveDuplicatesComparesTheCategoryColumnIgnoringCase)
{
    add("First", "TV", "T", "u");
    add("Second", "tv", "T", "u");
    add("Third", "Radio", "T", "u");
    add("Fourth", "TV", "T", "u");
    f->cmdDupes->click();
    EXPECT_EQ(names(), (QStringList{"First", "Third"}));
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().at(0).prompt, "Deleted 2");
    EXPECT_EQ(boxes->boxes().at(0).title, "DeckTest");

    // Runs of duplicates, one at the very end.
    add("Fifth", "Video", "T", "u");
    add("Sixth", "Video", "T", "u");
    add("Seventh", "VIDEO", "T", "u");
    f->cmdDupes->click();
    EXPECT_EQ(names(), (QStringList{"First", "Third", "Fifth"}));
    EXPECT_EQ(boxes->boxes().at(1).prompt, "Deleted 2");

    f->cmdDupes->click();
    EXPECT_EQ(boxes->boxes().at(2).prompt, "Deleted 0");
}

TEST_F(EditorTest, ImportReadsSectionsAndNameUrlPairs)
{
    env->writeFile(env->programFolder() + QStringLiteral("/five.txt"),
                   "[Sports]\r\nnot used\r\nESPN\r\nhttp://espn.example/\r\nDangling\r\n");
    f->Text1->setText("five.txt");
    f->txtType->setText("Radio");
    f->cmdLoad2->click();
    EXPECT_EQ(rows(), QStringList{"ESPN|http://espn.example/|Radio|Sports|"});

    // In the user folder too; there it wins over a file of the same name beside the program.
    f->Clear->click();
    env->writeFile(env->programFolder() + QStringLiteral("/list.txt"), "Shipped\nhttp://shipped/\n");
    env->writeFile(env->userFolder() + QStringLiteral("/list.txt"),
                   "Before\nhttp://before/\n \n\n[[Music]]\n\nPop One\nhttp://pop/1\n"
                   "Top [new] list\nskipped\nLast\nhttp://last/\n");
    f->Text1->setText("list.txt");
    f->txtType->setText("TV");
    f->cmdLoad2->click();
    EXPECT_EQ(rows(), (QStringList{"Before|http://before/|TV||", "Pop One|http://pop/1|TV|Music|",
                                   "Last|http://last/|TV|Top new list|"}));
}

TEST_F(EditorTest, ImportOfAMissingOrCutShortFileLeavesTheList)
{
    add("Kept", "TV", "T", "u");
    f->Text1->setText("absent.txt");
    f->cmdLoad2->click();
    env->writeFile(env->programFolder() + QStringLiteral("/cut.txt"), "One\nhttp://one/\n[Section]\n");
    f->Text1->setText("cut.txt");
    f->cmdLoad2->click();
    f->Text1->setText("");
    f->cmdLoad2->click();
    EXPECT_EQ(rows(), QStringList{"Kept|TV|T|u|"});
}

TEST_F(EditorTest, CloseUnticksTheCheckBoxAndHidesThePanel)
{
    add("One", "TV", "T", "u");
    f->Command2->click();
    EXPECT_EQ(f->chkLoad->Value(), ui::vbUnchecked);
    EXPECT_FALSE(f->Frame2->isVisibleTo(f));
    EXPECT_TRUE(f->blnAdmin);
    EXPECT_EQ(count(), 1);
}
