// The channel search: Ctrl+F, the field over the bottom of the list, finding by any part of a
// name whatever the type filter, the order and the counts, Escape, what ends a search, a click
// on a found channel, and none in editor mode.
#include "tests/mainwindow/MainWindowFixture.h"

#include "tests/support/LoopbackServer.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace mwtest;

namespace
{

class SearchTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        checkChannelListModel();
        server.server().Get("/empty", [](const httplib::Request &, httplib::Response &res) {
            res.set_content("", "text/html");
        });
        server.start();
    }
    void TearDown() override
    {
        if (f)
            f->WindowsMediaPlayer1->close();
        server.stop();
        MainWindowTest::TearDown();
    }

    // TV channels, three of them English, and a radio channel with a name the TV ones share.
    Form1 *load()
    {
        putSetting("TVLang", "English");
        writeData({channelLine("BBC World News", "TV", "English/News"),
                   channelLine(QString::fromUtf8("Café Noticias"), "TV", "Spanish/News"),
                   channelLine("Sky Sports", "TV", "English", server.url("/empty")),
                   channelLine("DW News English", "TV", "German"),
                   channelLine("CAFE DEL MAR", "TV", "Spanish/Music"),
                   channelLine("Cafeteria Live", "TV", "English"),
                   channelLine(QString::fromUtf8("Télé Café"), "TV", "French"),
                   channelLine(QString::fromUtf8("Radio Café"), "Radio", "Spanish"),
                   channelLine("Newsmax", "TV", "Other", server.url("/empty?max"))});
        f = loadForm1();
        f->Show();
        QApplication::setActiveWindow(f);
        QCoreApplication::processEvents();
        return f;
    }
    void ctrlF()
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : f, Qt::Key_F,
                        Qt::ControlModifier);
    }
    void type(const QString &text)
    {
        QTest::keyClicks(f->txtFind, text);
        QCoreApplication::processEvents();
    }
    void escape()
    {
        QTest::keyClick(f->txtFind, Qt::Key_Escape);
        QCoreApplication::processEvents();
    }
    // The rows as the list shows them.
    QStringList shown() const
    {
        QCoreApplication::processEvents();
        QStringList texts;
        const QAbstractItemModel *model = f->ListView1->model();
        for (int r = 0; r < model->rowCount(); ++r)
            texts.append(model->index(r, 0).data().toString());
        return texts;
    }
    QString showing() const { return f->StatusBar1->panelText(1).section(QStringLiteral(" | "), 1, 1); }
    void sortBy(const QString &column) { pick(f->cmbSortTV, column); }

    testsupport::LoopbackServer server;
    Form1 *f = nullptr;
};

} // namespace

TEST_F(SearchTest, CtrlFShowsTheFieldOverTheListsBottomMovingNothingAndFocusesIt)
{
    load();
    const auto places = [this] {
        QList<QRect> rects;
        for (QObject *control : f->controls())
            if (auto *w = qobject_cast<QWidget *>(control))
                rects.append(w->geometry());
        return rects;
    };
    const QList<QRect> before = places();
    EXPECT_TRUE(f->txtFind->isHidden());
    ctrlF();
    ASSERT_TRUE(f->txtFind->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), f->txtFind);
    // Inside the list's own area, along its bottom.
    const QRect list(f->ListView1->mapTo(f, QPoint(0, 0)), f->ListView1->size());
    const QRect field(f->txtFind->mapTo(f, QPoint(0, 0)), f->txtFind->size());
    EXPECT_TRUE(list.contains(field));
    EXPECT_GT(field.top(), list.center().y());
    EXPECT_EQ(places(), before);
}

TEST_F(SearchTest, TypingFindsTheCategorysChannelsByAnyPartOfTheNameIgnoringCaseAccentsAndTypes)
{
    load();
    sortBy("Channel"); // ascending
    ASSERT_EQ(shown(), (QStringList{"BBC World News", "Cafeteria Live", "Sky Sports"}));
    const QString statusBefore = f->StatusBar1->panelText(1);
    ctrlF();
    type("cafe");
    // Every type; not the radio channel.
    EXPECT_EQ(shown(), (QStringList{"CAFE DEL MAR", "Cafeteria Live", QString::fromUtf8("Café Noticias"),
                                    QString::fromUtf8("Télé Café")}));
    EXPECT_EQ(showing(), QStringLiteral("Showing: 4"));
    EXPECT_EQ(f->StatusBar1->panelText(1).section(QStringLiteral(" | "), 0, 0),
              statusBefore.section(QStringLiteral(" | "), 0, 0));
    f->txtFind->clear();
    type(QString::fromUtf8("NEWS"));
    EXPECT_EQ(shown(), (QStringList{"BBC World News", "DW News English", "Newsmax"}));
    EXPECT_EQ(showing(), QStringLiteral("Showing: 3"));
    // The type filter itself is untouched.
    EXPECT_EQ(f->strTypeFilter, QStringLiteral("English"));
    EXPECT_EQ(f->Combo1->Text(), QStringLiteral("English"));
    EXPECT_EQ(setting("TVLang"), QStringLiteral("English"));
}

TEST_F(SearchTest, FoundChannelsKeepTheSortAndItsOrderKeyAfterKey)
{
    load();
    sortBy("Channel");
    sortBy("Channel"); // descending
    ASSERT_EQ(f->ListView1->SortOrder(), ui::ListView::lvwDescending);
    ctrlF();
    type("n");
    type("e");
    type("w");
    EXPECT_EQ(shown(), (QStringList{"Newsmax", "DW News English", "BBC World News"}));
    QTest::keyClick(f->txtFind, Qt::Key_Backspace);
    type("w");
    EXPECT_EQ(shown(), (QStringList{"Newsmax", "DW News English", "BBC World News"}));
    EXPECT_EQ(f->ListView1->SortOrder(), ui::ListView::lvwDescending);
    EXPECT_EQ(f->ListView1->SortKey(), 0);
    // A sort asked for during the search applies to the found channels and stays after it.
    sortBy("Channel");
    EXPECT_EQ(shown(), (QStringList{"BBC World News", "DW News English", "Newsmax"}));
    escape();
    EXPECT_EQ(shown(), (QStringList{"BBC World News", "Cafeteria Live", "Sky Sports"}));
}

TEST_F(SearchTest, EscapeBringsTheListBackWithItsTypeFilterSortSelectionAndStatus)
{
    load();
    sortBy("Channel");
    f->ListView1->ListItems()->Item(3)->setSelected(true);
    const QStringList before = shown();
    const QString status = f->StatusBar1->panelText(1);
    ctrlF();
    type("cafe");
    ASSERT_NE(shown(), before);
    escape();
    EXPECT_TRUE(f->txtFind->isHidden());
    EXPECT_TRUE(f->txtFind->text().isEmpty());
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(itemTexts(f->ListView1), before);
    EXPECT_EQ(f->StatusBar1->panelText(1), status);
    EXPECT_EQ(f->Combo1->Text(), QStringLiteral("English"));
    EXPECT_EQ(f->ListView1->SortKey(), 0);
    EXPECT_EQ(f->ListView1->SortOrder(), ui::ListView::lvwAscending);
    ASSERT_NE(f->ListView1->SelectedItem(), nullptr);
    EXPECT_EQ(f->ListView1->SelectedItem()->Text(), QStringLiteral("Sky Sports"));
    EXPECT_EQ(f->ListView1->selectionModel()->selectedRows().value(0).row(), 2);
    EXPECT_EQ(QApplication::focusWidget(), f->ListView1);

    // Emptying the field shows the list as it was while the field stays.
    ctrlF();
    type("news");
    f->txtFind->clear();
    QCoreApplication::processEvents();
    EXPECT_TRUE(f->txtFind->isVisible());
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(f->StatusBar1->panelText(1), status);
}

TEST_F(SearchTest, ACategoryATypeOrAnotherPanelEndsTheSearch)
{
    load();
    ctrlF();
    type("cafe");
    pick(f->Combo1, "Spanish");
    EXPECT_TRUE(f->txtFind->isHidden());
    EXPECT_EQ(shown(), (QStringList{QString::fromUtf8("Café Noticias"), "CAFE DEL MAR"}));
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 2);

    ctrlF();
    type("news");
    putSetting("RadioLang", "All");
    f->cmdRadio_Click();
    EXPECT_TRUE(f->txtFind->isHidden());
    EXPECT_EQ(shown(), QStringList{QString::fromUtf8("Radio Café")});

    ctrlF();
    type("zzz");
    f->cmdFavorites_Click();
    EXPECT_TRUE(f->txtFind->isHidden());
    EXPECT_EQ(f->ListView1->FilterText(), QString());
    EXPECT_EQ(shown(), QStringList{QString::fromUtf8("Radio Café")});
    // Without the channel panel there is nothing to search.
    ctrlF();
    EXPECT_TRUE(f->txtFind->isHidden());
}

TEST_F(SearchTest, AClickOnAFoundChannelProbesAndPlaysItAndStaysSelectedAfterEscape)
{
    load();
    f->ListView1->ListItems()->Item(1)->setSelected(true);
    // Sky Sports is third of all and first of those found; Newsmax, last of all, is a type the
    // filter leaves out, so after it the one selected before the search comes back.
    const struct {
        const char *typed, *found, *path;
    } clicks[] = {{"sports", "Sky Sports", "/empty"}, {"max", "Newsmax", "/empty?max"}};
    for (const auto &click : clicks) {
        ctrlF();
        type(QLatin1String(click.typed));
        ASSERT_EQ(shown(), QStringList{QLatin1String(click.found)});
        const QRect row = f->ListView1->visualRect(f->ListView1->model()->index(0, 0));
        QTest::mouseClick(f->ListView1->viewport(), Qt::LeftButton, {}, row.center());
        QCoreApplication::processEvents();
        EXPECT_EQ(f->WindowsMediaPlayer1->url(), server.url(QLatin1String(click.path)));
        // The click left the keys with the list: Escape there ends the search too.
        QTest::keyClick(f->ListView1, Qt::Key_Escape);
        EXPECT_TRUE(f->txtFind->isHidden());
        ASSERT_NE(f->ListView1->SelectedItem(), nullptr);
        EXPECT_EQ(f->ListView1->SelectedItem()->Text(), QStringLiteral("Sky Sports"));
    }
}

TEST_F(SearchTest, NoSearchInEditorMode)
{
    env->writeFile(env->programFolder() + QStringLiteral("/admin.txt"), QByteArray());
    load();
    ASSERT_TRUE(f->blnAdmin);
    const QStringList before = itemTexts(f->ListView1);
    ctrlF();
    EXPECT_TRUE(f->txtFind->isHidden());
    EXPECT_NE(QApplication::focusWidget(), f->txtFind);
    EXPECT_EQ(f->ListView1->FilterText(), QString());
    EXPECT_EQ(itemTexts(f->ListView1), before);
    EXPECT_EQ(f->ListView1->shownCount(), before.size());
}
