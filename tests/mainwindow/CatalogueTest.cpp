// The channel list: loading Data.txt per category and type filter, the type list, the
// status text, broken and missing files, the category buttons and sorting.
#include "tests/mainwindow/MainWindowFixture.h"

#include "services/modMarque.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <algorithm>

using namespace mwtest;

namespace
{

const QString status(int total, int shown, int types)
{
    return QStringLiteral(
               "Total Channels: %1 | Showing: %2 | Laguages/Categories: %3 | Don't forget to rate your "
               "favorite channels with the Channel Actions button")
        .arg(total)
        .arg(shown)
        .arg(types);
}

const QString NotFound = QStringLiteral(
    "TV Channel file was not found.  No channels could be loaded.  Please reinstall or repair this program.");

// Every model change of the channel list, from the window's first load on, is checked; a
// broken one ends the test.
class CatalogueTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        checkChannelListModel();
    }
};

} // namespace

TEST_F(CatalogueTest, EmptyFileGivesEmptyListOnlyAllAndZeroCounts)
{
    writeData({});
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 0);
    EXPECT_EQ(comboItems(f->Combo1), QStringList{"All"});
    EXPECT_EQ(f->intTypeCount, 0);
    EXPECT_EQ(f->StatusBar1->panelText(1), status(0, 0, 0));
    EXPECT_EQ(boxes->count(), 0);
}

TEST_F(CatalogueTest, CountsOnlyLinesWithBarsAndShowsOnlyTheCategoryExactly)
{
    putSetting("TVLang", "All");
    writeData({"a comment line without bars", channelLine("One", "TV", "English"),
               channelLine("Two", "Radio", "English"), channelLine("Three", "tv", "English"), "",
               channelLine("Four", "TV", "German")});
    Form1 *f = loadForm1();
    EXPECT_EQ(f->strCategory, "TV");
    EXPECT_EQ(f->strTypeFilter, "All");
    QStringList shown = itemTexts(f->ListView1);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Four", "One"}));
    EXPECT_EQ(f->StatusBar1->panelText(1), status(4, 2, 2));
}

TEST_F(CatalogueTest, ItemCarriesTagSubItemsFormattedRatingAndPaddedFavourites)
{
    putSetting("TVLang", "All");
    writeData({channelLine("Update", "TV", "English/News", "http://example.org/a.asx", "5", "1/1/01"),
               channelLine("Rated", "TV", "News", "http://example.org/b", "45", "12")});
    Form1 *f = loadForm1();
    ui::ListItem *update = nullptr;
    ui::ListItem *rated = nullptr;
    for (int i = 1; i <= f->ListView1->ListItems()->Count(); ++i) {
        ui::ListItem *item = f->ListView1->ListItems()->Item(i);
        (item->Text() == "Update" ? update : rated) = item;
    }
    ASSERT_TRUE(update && rated);
    EXPECT_EQ(update->Tag(), "http://example.org/a.asx");
    EXPECT_EQ(update->SubItems(1), "TV");
    EXPECT_EQ(update->SubItems(2), "English/News");
    EXPECT_EQ(update->SubItems(3), "5.0");
    EXPECT_EQ(update->SubItems(4), "1/1/01");
    EXPECT_EQ(rated->SubItems(3), "4.0");
    EXPECT_EQ(rated->SubItems(4), "000012");
}

TEST_F(CatalogueTest, FilterIsACaseInsensitiveSubstringAndOnlyExactAllMeansEverything)
{
    writeData({channelLine("Bilingual", "TV", "English/Spanish"), channelLine("Old", "TV", "Old English"),
               channelLine("German", "TV", "German"), channelLine("Ball", "TV", "Football")});
    Form1 *f = loadForm1(); // first use: the filter is "English"
    EXPECT_EQ(f->strTypeFilter, "English");
    QStringList shown = itemTexts(f->ListView1);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Bilingual", "Old"}));

    putSetting("TVLang", "all");
    f->cmdTV_Click();
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"Ball"});
    EXPECT_EQ(f->Combo1->Text(), QString()); // "all" is no type of the list
    EXPECT_EQ(f->StatusBar1->panelText(1), status(4, 1, 5));
}

TEST_F(CatalogueTest, TypeListIsSortedByCharacterCodeFirstSeenCaseAndCountsTypes)
{
    writeData({channelLine("A", "TV", "News/Sports"), channelLine("B", "TV", "sports/Music"),
               channelLine("C", "TV", "Music"), channelLine("D", "Radio", "Zulu")});
    Form1 *f = loadForm1();
    EXPECT_EQ(comboItems(f->Combo1), (QStringList{"All", "Music", "News", "Sports"}));
    EXPECT_EQ(f->intTypeCount, 3);

    writeData({channelLine("A", "TV", "Country Music"), channelLine("B", "TV", "Music"),
               channelLine("C", "TV", "jazz"), channelLine("D", "TV", "English//")});
    f->cmdTV_Click();
    EXPECT_EQ(comboItems(f->Combo1), (QStringList{"All", "Country Music", "English", "Music", "jazz"}));
    EXPECT_EQ(f->intTypeCount, 4);
    // The stored filter is one of the types: the combo shows it without a pick.
    EXPECT_EQ(f->Combo1->Text(), "English");
}

TEST_F(CatalogueTest, TypesOutsideAsciiMatchIgnoringCaseInTheListAndTheFilter)
{
    putSetting(QStringLiteral("TVLang"), QStringLiteral("français"));
    writeData({channelLine("A", "TV", "FRANÇAIS/Ελληνικά"), channelLine("B", "TV", "Français"),
               channelLine("C", "TV", "ελληνικά/English"), channelLine("D", "TV", "English")});
    Form1 *f = loadForm1();
    EXPECT_EQ(comboItems(f->Combo1), (QStringList{"All", "English", "FRANÇAIS", "Ελληνικά"}));
    EXPECT_EQ(itemTexts(f->ListView1).size(), 2); // A and B
    EXPECT_EQ(f->Combo1->Text(), "français");     // the stored filter is one of the types
}

// U+FEFF opening a field is a character of it: only a byte-order mark at the very start of
// the file is one. A category so marked is another category, and names, URLs and types keep it.
TEST_F(CatalogueTest, FieldsThatBeginWithUFeffKeepIt)
{
    const QString bom = QString(QChar(0xFEFF));
    putSetting("TVLang", "All");
    const QByteArray file =
        "\xEF\xBB\xBF" +
        dataFile({channelLine("First", "TV", "News"), channelLine("Marked", bom + "TV", "News"),
                  channelLine(bom + "Name", "TV", bom + "News", bom + "http://x/s"),
                  channelLine("Radio", bom + "Radio", "Music")});
    env->writeFile(env->dataHome() + QStringLiteral("/TVDAT/Data.txt"), file);
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    // The file's byte-order mark sits in the first line's id, which the list does not show.
    QStringList shown = itemTexts(f->ListView1);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"First", bom + "Name"}));
    EXPECT_EQ(f->StatusBar1->panelText(1), status(4, 2, 2));
    for (int i = 1; i <= f->ListView1->ListItems()->Count(); ++i) {
        const ui::ListItem *item = f->ListView1->ListItems()->Item(i);
        if (item->Text() != bom + "Name")
            continue;
        EXPECT_EQ(item->Tag(), bom + "http://x/s");
        EXPECT_EQ(item->SubItems(2), bom + "News");
    }
    // Two types, not one spelt twice.
    EXPECT_EQ(comboItems(f->Combo1), (QStringList{"All", "News", bom + "News"}));

    putSetting("RadioLang", "All");
    f->cmdRadio_Click();
    EXPECT_EQ(itemTexts(f->ListView1), QStringList());
}

TEST_F(CatalogueTest, PickingATypeFiltersKeepsTheTypeListAndSavesPerCategory)
{
    writeData({channelLine("News", "TV", "English/News"), channelLine("Sport", "TV", "Sports"),
               channelLine("Jazz", "Radio", "Jazz"), channelLine("Talk", "Radio", "English/Talk")});
    Form1 *f = loadForm1();
    const QStringList tvTypes = comboItems(f->Combo1);
    pick(f->Combo1, "Sports");
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"Sport"});
    EXPECT_EQ(comboItems(f->Combo1), tvTypes);
    EXPECT_EQ(setting("TVLang"), "Sports");
    EXPECT_EQ(f->StatusBar1->panelText(1), status(4, 1, 3));

    f->cmdRadio_Click();
    EXPECT_EQ(comboItems(f->Combo1), (QStringList{"All", "English", "Jazz", "Talk"}));
    pick(f->Combo1, "Jazz");
    EXPECT_EQ(setting("RadioLang"), "Jazz");
    f->cmdTV_Click();
    f->cmdRadio_Click();
    EXPECT_EQ(f->strTypeFilter, "Jazz");
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"Jazz"});
    EXPECT_EQ(setting("TVLang"), "Sports");
}

TEST_F(CatalogueTest, AdultNoticeCancelChangesNothingAndOkShowsTheAdultList)
{
    putSetting("VideoLang", "All");
    writeData({channelLine("News", "TV", "English"), channelLine("Late", "XXX", "English/Night"),
               channelLine("Later", "XXX", "Night")});
    Form1 *f = loadForm1();
    const QString before = f->StatusBar1->panelText(1);
    boxes->setDefaultAnswer(vbCancel);
    f->cmdXXX_Click();
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().at(0).title, "Adult Material");
    EXPECT_EQ(boxes->boxes().at(0).buttons, vbOKCancel);
    const QStringList paragraphs = boxes->boxes().at(0).prompt.split("\r\n\r\n");
    ASSERT_EQ(paragraphs.size(), 4);
    EXPECT_TRUE(paragraphs.at(0).startsWith("In order to have access"));
    EXPECT_TRUE(paragraphs.at(3).endsWith("viewing materials from this adult section."));
    EXPECT_EQ(f->strCategory, "TV");
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"News"});
    EXPECT_EQ(f->StatusBar1->panelText(1), before);

    boxes->setDefaultAnswer(vbOK);
    f->cmdXXX_Click();
    EXPECT_EQ(f->strCategory, "XXX");
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 2);
    // A pick in the adult category filters but stores nothing.
    pick(f->Combo1, "Night");
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 2);
    pick(f->Combo1, "English");
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"Late"});
    EXPECT_EQ(setting("VideoLang"), "All");
}

TEST_F(CatalogueTest, CategoryButtonsSwitchPanelsAndPlayerBack)
{
    writeData({channelLine("News", "TV", "English")});
    Form1 *f = loadForm1();
    f->Frame1->setVisible(false);
    f->Frame5->setVisible(true);
    f->wbyoutube->setVisible(true);
    f->WindowsMediaPlayer1->setVisible(false);
    f->cmdRadio_Click();
    EXPECT_TRUE(f->Frame1->Visible());
    EXPECT_FALSE(f->Frame3->Visible());
    EXPECT_FALSE(f->Frame4->Visible());
    EXPECT_FALSE(f->Frame5->Visible());
    EXPECT_FALSE(f->wbyoutube->Visible());
    EXPECT_TRUE(f->WindowsMediaPlayer1->Visible());
    EXPECT_EQ(f->strCategory, "Radio");
}

TEST_F(CatalogueTest, SportsAndExtrasOnlySetThePageRequest)
{
    writeData({channelLine("News", "TV", "English")});
    Form1 *f = loadForm1();
    const QString statusBefore = f->StatusBar1->panelText(1);
    f->cmdSports_Click();
    EXPECT_EQ(PageRequest, "Sports");
    f->cmdExtras_Click();
    EXPECT_EQ(PageRequest, "Extras");
    EXPECT_EQ(f->strCategory, "TV");
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"News"});
    EXPECT_EQ(f->StatusBar1->panelText(1), statusBefore);
    EXPECT_TRUE(f->Frame1->Visible());
}

TEST_F(CatalogueTest, MissingFileShowsTheNotFoundMessageAndAnEmptyList)
{
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().at(0).prompt, NotFound);
    EXPECT_EQ(boxes->boxes().at(0).buttons, vbOKOnly);
    EXPECT_EQ(boxes->boxes().at(0).title, "DeckTest");
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 0);
    EXPECT_EQ(f->StatusBar1->panelText(1), QString());
}

TEST_F(CatalogueTest, ShortLineStopsTheLoadKeepingEarlierItemsAndTheOldTypeList)
{
    putSetting("TVLang", "All");
    writeData({channelLine("Good", "TV", "English"), channelLine("Other", "TV", "German")});
    Form1 *f = loadForm1();
    const QString statusBefore = f->StatusBar1->panelText(1);
    const QStringList typesBefore = comboItems(f->Combo1);

    writeData({channelLine("Good", "TV", "English"), "7|Short|TV|http://x|French|1/1/01",
               channelLine("Late", "TV", "X")});
    f->cmdTV_Click();
    ASSERT_EQ(boxes->count(), 1);
    EXPECT_EQ(boxes->boxes().at(0).prompt, NotFound);
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"Good"});
    EXPECT_EQ(comboItems(f->Combo1), typesBefore);
    EXPECT_EQ(f->StatusBar1->panelText(1), statusBefore);
    EXPECT_EQ(f->strReloadTypes, "True");

    // Lines of other categories only need their category field; any line needs three fields.
    boxes->clear();
    writeData({"1|Radio only|Radio", channelLine("Good", "TV", "English")});
    f->cmdTV_Click();
    EXPECT_EQ(boxes->count(), 0);
    EXPECT_EQ(itemTexts(f->ListView1), QStringList{"Good"});
    writeData({"1|two fields", channelLine("Good", "TV", "English")});
    f->cmdTV_Click();
    EXPECT_EQ(boxes->count(), 1);
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 0);
}

TEST_F(CatalogueTest, LinesEndedByBareLineFeedsLoadToo)
{
    putSetting("TVLang", "All");
    env->writeFile(
        env->dataHome() + "/TVDAT/Data.txt",
        (channelLine("One", "TV", "English") + "\n" + channelLine("Two", "TV", "English") + "\n").toUtf8());
    Form1 *f = loadForm1();
    EXPECT_EQ(f->ListView1->ListItems()->Count(), 2);
    EXPECT_EQ(f->ListView1->ListItems()->Item(1)->SubItems(3), "5.0");
}

TEST_F(CatalogueTest, SortRequestsToggleTheOrderWhicheverColumn)
{
    putSetting("TVLang", "All");
    writeData({channelLine("Beta", "TV", "English", "http://b", "3"),
               channelLine("Alpha", "TV", "English", "http://a", "5"),
               channelLine("Gamma", "TV", "English", "http://c", "4")});
    Form1 *f = loadForm1();
    // The start-up sorts once by rating: descending from the default ascending order.
    EXPECT_TRUE(f->ListView1->Sorted());
    EXPECT_EQ(f->ListView1->SortKey(), 3);
    EXPECT_EQ(itemTexts(f->ListView1), (QStringList{"Alpha", "Gamma", "Beta"}));

    pick(f->cmbSortTV, "Channel");
    EXPECT_EQ(f->ListView1->SortKey(), 0);
    EXPECT_EQ(itemTexts(f->ListView1), (QStringList{"Alpha", "Beta", "Gamma"}));
    pick(f->cmbSortTV, "Channel");
    EXPECT_EQ(itemTexts(f->ListView1), (QStringList{"Gamma", "Beta", "Alpha"}));
    emit f->ListView1->ColumnClick(1);
    EXPECT_EQ(itemTexts(f->ListView1), (QStringList{"Alpha", "Beta", "Gamma"}));
    emit f->ListView1->ColumnClick(4);
    EXPECT_EQ(f->ListView1->SortKey(), 3);
    EXPECT_EQ(itemTexts(f->ListView1), (QStringList{"Alpha", "Gamma", "Beta"}));
    emit f->ListView1->ColumnClick(4);
    EXPECT_EQ(itemTexts(f->ListView1), (QStringList{"Beta", "Gamma", "Alpha"}));
}

TEST(CatalogueHelpers, FormatRatingFollowsItsLengthRules)
{
    const QList<QPair<QString, QString>> cases = {
        {"", "1.0"},      {"5", "5.0"},
        {"4.", "4.0"},    {"45", "4.0"},
        {"4.5", "4.5"},   {"4.55", "4.5"},
        {"12345", "1.0"}, {"abc", "a.0"},
        {".5", ".50"},    {QStringLiteral("\u00e9"), QStringLiteral("\u00e9.0")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Form1::formatRating(c.first), c.second) << c.first.toStdString();
}

TEST(CatalogueHelpers, PadSixDigitsPadsOnlyShortTexts)
{
    EXPECT_EQ(Form1::padSixDigits("12"), "000012");
    EXPECT_EQ(Form1::padSixDigits(""), "000000");
    EXPECT_EQ(Form1::padSixDigits("1/1/01"), "1/1/01");
    EXPECT_EQ(Form1::padSixDigits("1234567"), "1234567");
    EXPECT_EQ(Form1::padSixDigits(QStringLiteral("\u20ac1")), QStringLiteral("0000\u20ac1"));
}

TEST(CatalogueHelpers, QuickSortMatchesAStableReferenceInBothDirections)
{
    QRandomGenerator rng(7);
    for (int round = 0; round < 50; ++round) {
        QStringList values;
        const int n = int(rng.bounded(0, 300));
        for (int i = 0; i < n; ++i)
            values.append(QString::number(rng.bounded(0, 40)) + QChar(u'a' + char16_t(rng.bounded(0, 3))));
        QStringList expected = values;
        std::sort(expected.begin(), expected.end());
        QStringList ascending = values;
        Form1::quickSortValues(ascending);
        EXPECT_EQ(ascending, expected);
        QStringList descending = values;
        Form1::quickSortValues(descending, -1, true);
        std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(descending, expected);
    }
    QStringList sorted;
    for (int i = 0; i < 3000; ++i)
        sorted.append(QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
    QStringList copy = sorted;
    Form1::quickSortValues(copy); // already sorted input must not exhaust the range stack
    EXPECT_EQ(copy, sorted);
}

TEST(CatalogueHelpers, QuickSortComparesByCharacterCodeAndHonoursTheUpperIndex)
{
    QStringList values = {"b", "B", "a", "A", "z", "0"};
    Form1::quickSortValues(values, 3);
    EXPECT_EQ(values, (QStringList{"A", "B", "a", "b", "z", "0"}));
}

TEST_F(CatalogueTest, HundredThousandChannelsListInFileOrderAmongEqualRatings)
{
    putSetting("TVLang", "All");
    // Ratings and counts that take every way the loader has of making their texts, plain ASCII
    // or not.
    const QStringList ratings = {"5", "4.5", "", "3", QStringLiteral("\u00e9"), "45", "4.55"};
    const QStringList counts = {"12", "1234567", QStringLiteral("\u20ac1"), "", "123456"};
    QStringList lines;
    for (int i = 0; i < 100000; ++i)
        lines.append(channelLine(QStringLiteral("Channel %1").arg(i), QLatin1String(i % 2 ? "TV" : "Radio"),
                                 QStringLiteral("Lang%1/News").arg(i % 50),
                                 QStringLiteral("http://127.0.0.1:9/s%1").arg(i),
                                 ratings.at(i % ratings.size()), counts.at(i % counts.size())));
    writeData(lines);
    Form1 *f = loadForm1(); // loads, then sorts by rating
    f->cmdTV_Click();       // a reload into the sorted list
    ui::ListItemCollection *items = f->ListView1->ListItems();
    ASSERT_EQ(items->Count(), 50000);
    EXPECT_EQ(f->intTypeCount, 26);

    // Highest rating first, ignoring case; equal ratings in file order.
    QList<int> expected;
    for (int i = 1; i < 100000; i += 2)
        expected.append(i);
    const auto rating = [&](int i) { return Form1::formatRating(ratings.at(i % ratings.size())); };
    std::stable_sort(expected.begin(), expected.end(),
                     [&](int a, int b) { return rating(a).compare(rating(b), Qt::CaseInsensitive) > 0; });
    QCoreApplication::processEvents(); // the view takes the rows
    QAbstractItemModel *model = f->ListView1->model();
    ASSERT_EQ(model->rowCount(), 50000);
    for (int row = 0; row < 50000; ++row) {
        const int i = expected.at(row);
        ASSERT_EQ(model->index(row, 0).data().toString(), QStringLiteral("Channel %1").arg(i)) << row;
        ASSERT_EQ(model->index(row, 3).data().toString(), rating(i)) << row;
        ASSERT_EQ(model->index(row, 4).data().toString(), Form1::padSixDigits(counts.at(i % counts.size())))
            << row;
    }
    const ui::ListItem *last = items->Item(50000);
    EXPECT_EQ(last->Tag(), QStringLiteral("http://127.0.0.1:9/s%1").arg(expected.last()));
    EXPECT_EQ(last->SubItems(1), "TV");
    EXPECT_EQ(last->SubItems(2), QStringLiteral("Lang%1/News").arg(expected.last() % 50));
}
