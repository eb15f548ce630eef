// Column sort of list views: order flips on every call, errors give false.
#include "platform/ui/ListView.h"
#include "services/modListViewEnh.h"
#include "tests/support/MsgBoxRecorder.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

class ListViewSortTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        lv.ColumnHeaders()->Add(QStringLiteral("Channel"), 2000, QStringLiteral("name"));
        lv.ColumnHeaders()->Add(QStringLiteral("Rating"), 900, QStringLiteral("rating"));
    }

    void fill()
    {
        const QList<QPair<QString, QString>> rows = {
            {"ARD", "0003"}, {"bbc", "0010"}, {"CNN", "0001"}, {"arte", "0010"}};
        for (const auto &r : rows)
            lv.ListItems()->Add(r.first)->setSubItems(1, r.second);
    }

    QStringList names()
    {
        QStringList list;
        for (int i = 1; i <= lv.ListItems()->Count(); ++i)
            list.append(lv.ListItems()->Item(i)->Text());
        return list;
    }

    ListView lv;
    QAbstractItemModelTester tester{lv.model(), QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST_F(ListViewSortTest, AnEmptyListIsLeftAsItIs)
{
    testsupport::MsgBoxRecorder boxes;
    EXPECT_TRUE(EnhListView_SortColumns(&lv, 1, true));
    EXPECT_FALSE(lv.Sorted());
    EXPECT_EQ(lv.SortOrder(), 0);
    EXPECT_EQ(lv.SortKey(), 0);
    // Even a column that does not exist: nothing is looked at.
    EXPECT_TRUE(EnhListView_SortColumns(&lv, 7, true));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(ListViewSortTest, TheFirstCallSortsDescendingAndEveryCallFlipsTheOrder)
{
    fill();
    EXPECT_TRUE(EnhListView_SortColumns(&lv, 1, false));
    EXPECT_TRUE(lv.Sorted());
    EXPECT_EQ(lv.SortKey(), 0);
    EXPECT_EQ(lv.SortOrder(), 1);
    const QStringList descending = names();
    EXPECT_EQ(descending, (QStringList{"CNN", "bbc", "arte", "ARD"}));

    EXPECT_TRUE(EnhListView_SortColumns(&lv, 1, false));
    EXPECT_EQ(names(), (QStringList{"ARD", "arte", "bbc", "CNN"}));
    EXPECT_TRUE(EnhListView_SortColumns(&lv, 1, false));
    EXPECT_EQ(names(), descending); // two calls in a row bring the order back
}

TEST_F(ListViewSortTest, ANewColumnReversesTheOrderInForceAndKeysWork)
{
    fill();
    EnhListView_SortColumns(&lv, 1, false); // descending by name
    EXPECT_TRUE(EnhListView_SortColumns(&lv, QStringLiteral("rating"), false));
    EXPECT_EQ(lv.SortKey(), 1);
    EXPECT_EQ(lv.SortOrder(), 0);
    EXPECT_EQ(names(), (QStringList{"CNN", "ARD", "bbc", "arte"}));
    EXPECT_TRUE(EnhListView_SortColumns(&lv, 2, false));
    EXPECT_EQ(lv.SortOrder(), 1);
    EXPECT_EQ(names(), (QStringList{"bbc", "arte", "ARD", "CNN"}));
}

TEST_F(ListViewSortTest, AColumnBeyondTheLastFailsWithABoxOnlyWhenAsked)
{
    fill();
    testsupport::MsgBoxRecorder boxes;
    EXPECT_FALSE(EnhListView_SortColumns(&lv, 3, false));
    EXPECT_EQ(boxes.count(), 0);
    // The switch to sorted mode happened before the error and stays.
    EXPECT_TRUE(lv.Sorted());
    EXPECT_EQ(lv.SortOrder(), 0);

    EXPECT_FALSE(EnhListView_SortColumns(&lv, 3, true));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.boxes().at(0).prompt, QStringLiteral("Error35600\tIndex out of bounds"));
    EXPECT_EQ(boxes.boxes().at(0).title, QStringLiteral("Error in Function : EnhListView_SortColumns"));
    EXPECT_EQ(boxes.boxes().at(0).buttons, vbOKOnly | vbInformation);

    EXPECT_FALSE(EnhListView_SortColumns(&lv, QStringLiteral("nokey"), true));
    EXPECT_EQ(boxes.boxes().at(1).prompt, QStringLiteral("Error35601\tElement not found"));
    EXPECT_FALSE(EnhListView_SortColumns(&lv, 0, false));
    EXPECT_FALSE(EnhListView_SortColumns(nullptr, 1, false));
    EXPECT_EQ(lv.SortOrder(), 0); // no failed call flipped the order
}
