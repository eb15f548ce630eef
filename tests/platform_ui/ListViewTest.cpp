// The list view: model consistency, keep-sorted mode, selection, clicks, columns and
// the speed of a bulk fill.
#include "platform/ui/ListView.h"
#include "platform/ui/ListViewModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <iostream>

using namespace ui;

namespace
{

class ListViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        lv.resize(500, 300);
        lv.ColumnHeaders()->Add(QStringLiteral("Channel"), 2000);
        lv.ColumnHeaders()->Add(QStringLiteral("Category"), 1200, QStringLiteral("cat"));
        lv.ColumnHeaders()->Add(QStringLiteral("Rating"), 900);
        tester = std::make_unique<QAbstractItemModelTester>(
            lv.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    }

    ListItem *add(const QString &text, const QString &sub1 = QString(), const QString &sub2 = QString())
    {
        ListItem *item = lv.ListItems()->Add(text);
        item->setSubItems(1, sub1);
        item->setSubItems(2, sub2);
        return item;
    }

    QStringList column(int c)
    {
        QStringList texts;
        for (int i = 1; i <= lv.ListItems()->Count(); ++i)
            texts.append(lv.ListItems()->Item(i)->columnText(c));
        return texts;
    }

    // What the view shows, row by row, once pending work has run.
    QStringList shown(int c)
    {
        QCoreApplication::processEvents();
        QStringList texts;
        for (int r = 0; r < lv.model()->rowCount(); ++r)
            texts.append(lv.model()->index(r, c).data().toString());
        return texts;
    }

    ListView lv;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

} // namespace

TEST_F(ListViewTest, ItemsKeepTextSubItemsTagKeyAndOneBasedIndex)
{
    ListItem *a = add(QStringLiteral("BBC One"), QStringLiteral("TV"), QStringLiteral("0005"));
    a->setTag(QStringLiteral("http://example/bbc"));
    ListItem *b = lv.ListItems()->Add(QStringLiteral("ZDF"), QStringLiteral("k2"));
    EXPECT_EQ(lv.ListItems()->Count(), 2);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_EQ(b->Index(), 2);
    EXPECT_EQ(b->Key(), QStringLiteral("k2"));
    EXPECT_EQ(a->Tag(), QStringLiteral("http://example/bbc"));
    EXPECT_EQ(a->SubItems(2), QStringLiteral("0005"));
    EXPECT_EQ(b->SubItems(1), QString()); // never set
    EXPECT_EQ(b->SubItems(0), QString());
    EXPECT_EQ(lv.ListItems()->Item(0), nullptr);
    EXPECT_EQ(lv.ListItems()->Item(3), nullptr);
    EXPECT_EQ(shown(0), (QStringList{QStringLiteral("BBC One"), QStringLiteral("ZDF")}));
    EXPECT_EQ(shown(2), (QStringList{QStringLiteral("0005"), QString()}));
}

TEST_F(ListViewTest, RemoveAndClearRenumberAndDropTheSelection)
{
    add(QStringLiteral("a"));
    ListItem *b = add(QStringLiteral("b"));
    ListItem *c = add(QStringLiteral("c"));
    b->setSelected(true);
    EXPECT_FALSE(lv.ListItems()->Remove(4));
    EXPECT_TRUE(lv.ListItems()->Remove(2));
    EXPECT_EQ(lv.SelectedItem(), nullptr);
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(shown(0), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    c->setSelected(true);
    lv.ListItems()->Clear();
    EXPECT_EQ(lv.ListItems()->Count(), 0);
    EXPECT_EQ(lv.SelectedItem(), nullptr);
    EXPECT_EQ(lv.model()->rowCount(), 0);
}

TEST_F(ListViewTest, SortedKeepsItemsOrderedByTheKeyColumnIgnoringCase)
{
    add(QStringLiteral("delta"), QStringLiteral("TV"), QStringLiteral("0003"));
    add(QStringLiteral("Alpha"), QStringLiteral("radio"), QStringLiteral("0010"));
    add(QStringLiteral("charlie"), QStringLiteral("Radio"), QStringLiteral("0001"));
    add(QStringLiteral("Bravo"), QStringLiteral("tv"), QStringLiteral("0010"));
    EXPECT_FALSE(lv.Sorted());
    EXPECT_EQ(column(0), (QStringList{"delta", "Alpha", "charlie", "Bravo"}));

    lv.setSorted(true);
    EXPECT_EQ(column(0), (QStringList{"Alpha", "Bravo", "charlie", "delta"}));
    lv.setSortOrder(ListView::lvwDescending);
    EXPECT_EQ(column(0), (QStringList{"delta", "charlie", "Bravo", "Alpha"}));
    EXPECT_EQ(shown(0), (QStringList{"delta", "charlie", "Bravo", "Alpha"}));

    // Equal keys keep the order they had: descending is not the ascending list reversed.
    lv.setSortKey(2);
    EXPECT_EQ(column(0), (QStringList{"Bravo", "Alpha", "delta", "charlie"}));
    lv.setSortOrder(ListView::lvwAscending);
    EXPECT_EQ(column(0), (QStringList{"charlie", "delta", "Bravo", "Alpha"}));
    lv.setSortKey(1);
    EXPECT_EQ(column(1), (QStringList{"Radio", "radio", "TV", "tv"}));
    EXPECT_EQ(shown(1), column(1));
}

TEST_F(ListViewTest, AddingWhileSortedPlacesNewItemsAfterTheirEquals)
{
    lv.setSorted(true);
    add(QStringLiteral("m"));
    add(QStringLiteral("c"));
    EXPECT_EQ(column(0), (QStringList{"c", "m"}));
    ListItem *x = add(QStringLiteral("M"));
    ListItem *y = add(QStringLiteral("a"));
    EXPECT_EQ(column(0), (QStringList{"a", "c", "m", "M"}));
    EXPECT_EQ(x->Index(), 4);
    EXPECT_EQ(y->Index(), 1);
    // A bulk addition to a non-empty list merges the same way.
    for (int i = 0; i < 100; ++i)
        add(QStringLiteral("b%1").arg(i % 10));
    const QStringList all = column(0);
    EXPECT_EQ(all.size(), 104);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const QString &l, const QString &r) {
        return l.compare(r, Qt::CaseInsensitive) < 0;
    }));
    EXPECT_EQ(shown(0), all);
}

TEST_F(ListViewTest, ChangingTheSortColumnTextOfASortedItemMovesIt)
{
    lv.setSorted(true);
    lv.setSortKey(1);
    ListItem *a = add(QStringLiteral("a"), QStringLiteral("1"));
    add(QStringLiteral("b"), QStringLiteral("2"));
    add(QStringLiteral("c"), QStringLiteral("3"));
    EXPECT_EQ(column(0), (QStringList{"a", "b", "c"}));
    a->setSubItems(1, QStringLiteral("9"));
    EXPECT_EQ(column(0), (QStringList{"b", "c", "a"}));
    EXPECT_EQ(a->Index(), 3);
    a->setText(QStringLiteral("zz")); // not the key column: stays put
    EXPECT_EQ(a->Index(), 3);
    EXPECT_EQ(shown(0), (QStringList{"b", "c", "zz"}));
}

TEST_F(ListViewTest, SelectionFollowsTheViewAndTheItems)
{
    ListItem *a = add(QStringLiteral("a"));
    ListItem *b = add(QStringLiteral("b"));
    EXPECT_EQ(lv.SelectedItem(), nullptr); // nothing is selected until someone selects
    b->setSelected(true);
    EXPECT_EQ(lv.SelectedItem(), b);
    EXPECT_TRUE(b->Selected());
    EXPECT_FALSE(a->Selected());
    EXPECT_EQ(lv.selectionModel()->selectedRows().value(0).row(), 1);

    lv.selectionModel()->setCurrentIndex(lv.model()->index(0, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(lv.SelectedItem(), a);

    // Re-sorting keeps the selected item selected, at its new row.
    lv.setSorted(true);
    lv.setSortOrder(ListView::lvwDescending);
    QCoreApplication::processEvents();
    EXPECT_EQ(lv.SelectedItem(), a);
    EXPECT_EQ(lv.selectionModel()->selectedRows().value(0).row(), 1);
    a->setSelected(false);
    EXPECT_EQ(lv.SelectedItem(), nullptr);
}

TEST_F(ListViewTest, UserClicksSelectAndRaiseItemClickThenClick)
{
    add(QStringLiteral("first"));
    ListItem *second = add(QStringLiteral("second"));
    lv.show();
    QCoreApplication::processEvents();
    QStringList order;
    ListItem *clicked = nullptr;
    QObject::connect(&lv, &ListView::ItemClick, [&](ListItem *item) {
        clicked = item;
        order << QStringLiteral("ItemClick");
    });
    QObject::connect(&lv, &ListView::Click, [&] { order << QStringLiteral("Click"); });
    const QRect rect = lv.visualRect(lv.model()->index(1, 0));
    QTest::mouseClick(lv.viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(clicked, second);
    EXPECT_EQ(lv.SelectedItem(), second);
    EXPECT_EQ(order, (QStringList{QStringLiteral("ItemClick"), QStringLiteral("Click")}));

    QSignalSpy columns(&lv, &ListView::ColumnClick);
    const int x = lv.header()->sectionViewportPosition(2) + 5;
    QTest::mouseClick(lv.header()->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    ASSERT_EQ(columns.count(), 1);
    EXPECT_EQ(columns.at(0).at(0).toInt(), 3);
}

TEST_F(ListViewTest, ColumnHeadersHaveTwipsWidthsKeysAndHideAtZero)
{
    ColumnHeaderCollection *h = lv.ColumnHeaders();
    EXPECT_EQ(h->Count(), 3);
    EXPECT_EQ(h->Item(2)->Text(), QStringLiteral("Category"));
    EXPECT_EQ(h->Item(QStringLiteral("cat")), h->Item(2));
    EXPECT_EQ(h->Item(QStringLiteral("nope")), nullptr);
    EXPECT_EQ(h->Item(4), nullptr);
    EXPECT_EQ(h->Item(1)->Width(), 2000);
    EXPECT_EQ(lv.columnWidth(0), 133);
    EXPECT_EQ(lv.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Category"));

    h->Item(3)->setWidth(0);
    EXPECT_TRUE(lv.isColumnHidden(2));
    EXPECT_EQ(h->Item(3)->Width(), 0);
    h->Item(3)->setWidth(1440);
    EXPECT_FALSE(lv.isColumnHidden(2));
    EXPECT_EQ(lv.columnWidth(2), 96);

    h->Item(1)->setText(QStringLiteral("Kanal"));
    EXPECT_EQ(lv.model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Kanal"));
    EXPECT_EQ(h->Add(QStringLiteral("Favorites"))->Width(), 1440);
    EXPECT_EQ(lv.model()->columnCount(), 4);
}

TEST_F(ListViewTest, AHundredThousandItemsFillSortedInWellUnderASecond)
{
    tester.reset(); // its checks on every notification are not what is measured here
    lv.show();
    lv.setSorted(true);
    lv.setSortKey(2);
    lv.setSortOrder(ListView::lvwDescending);
    // The texts exist before the fill, as the loader has them from its file.
    QStringList names, categories, ratings;
    for (int i = 0; i < 100000; ++i) {
        names.append(QStringLiteral("Channel %1").arg(i));
        categories.append((i % 3) ? QStringLiteral("TV") : QStringLiteral("Radio"));
        ratings.append(QStringLiteral("%1").arg((i * 7919) % 100000, 6, 10, QLatin1Char('0')));
    }
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 100000; ++i) {
        ListItem *item = lv.ListItems()->Add(names.at(i));
        item->setSubItems(1, categories.at(i));
        item->setSubItems(2, ratings.at(i));
        item->setTag(names.at(i));
    }
    QCoreApplication::processEvents(); // the view takes the rows
    lv.repaint();
    const qint64 ms = timer.elapsed();
    EXPECT_LT(ms, 1000) << "filling took " << ms << " ms";
    EXPECT_EQ(lv.model()->rowCount(), 100000);
    EXPECT_EQ(lv.ListItems()->Item(1)->SubItems(2), QStringLiteral("099999"));
    EXPECT_EQ(lv.ListItems()->Item(100000)->SubItems(2), QStringLiteral("000000"));
    std::cout << "[          ] 100k sorted fill: " << ms << " ms\n";

    timer.restart();
    lv.setSortKey(0);
    EXPECT_EQ(lv.ListItems()->Item(1)->Text(), QStringLiteral("Channel 99999"));
    EXPECT_LT(timer.elapsed(), 1000);
    timer.restart();
    lv.ListItems()->Clear();
    EXPECT_LT(timer.elapsed(), 500);
}

TEST_F(ListViewTest, EditsOfTheSortColumnGoBehindTheirEqualsInTheOrderMade)
{
    lv.setSorted(true);
    lv.setSortKey(1);
    ListItem *a = add(QStringLiteral("a"), QStringLiteral("x"));
    ListItem *b = add(QStringLiteral("b"), QStringLiteral("y"));
    add(QStringLiteral("c"), QStringLiteral("x"));
    ListItem *d = add(QStringLiteral("d"), QStringLiteral("z"));
    EXPECT_EQ(column(0), (QStringList{"a", "c", "b", "d"}));
    // Several edits before anyone looks: each lands as if moved on its own.
    b->setSubItems(1, QStringLiteral("X"));
    a->setSubItems(1, QStringLiteral("x")); // same text, yet behind the later-equal b
    d->setSubItems(1, QStringLiteral("A"));
    EXPECT_EQ(column(0), (QStringList{"d", "c", "b", "a"}));
    EXPECT_EQ(shown(0), (QStringList{"d", "c", "b", "a"}));
    EXPECT_EQ(b->Index(), 3);

    // Edits made under one sort key keep their places when the key changes.
    b->setSubItems(1, QStringLiteral("a"));
    lv.setSortKey(2); // every sub-item 2 is empty: the order stays as the edit left it
    EXPECT_EQ(column(0), (QStringList{"d", "b", "c", "a"}));
}

TEST_F(ListViewTest, RemoveWhereDropsItemsInOneStepKeepingOrderAndSelection)
{
    for (const char *t : {"a", "b", "c", "d", "e"})
        add(QString::fromLatin1(t), (t[0] - 'a') % 2 ? QStringLiteral("odd") : QStringLiteral("even"));
    ListItem *c = lv.ListItems()->Item(3);
    c->setSelected(true);
    QStringList asked;
    const int removed = lv.ListItems()->RemoveWhere([&asked](const ListItem &item) {
        asked.append(item.Text());
        return item.SubItems(1) == QLatin1String("odd");
    });
    EXPECT_EQ(removed, 2);
    EXPECT_EQ(asked, (QStringList{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(column(0), (QStringList{"a", "c", "e"}));
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(lv.SelectedItem(), c);
    EXPECT_EQ(shown(0), (QStringList{"a", "c", "e"}));

    EXPECT_EQ(lv.ListItems()->RemoveWhere([](const ListItem &) { return false; }), 0);
    EXPECT_EQ(lv.ListItems()->RemoveWhere([](const ListItem &item) { return item.Text() == "c"; }), 1);
    EXPECT_EQ(lv.SelectedItem(), nullptr);
    EXPECT_EQ(column(0), (QStringList{"a", "e"}));
}

TEST_F(ListViewTest, TextsSharingOneStringSurviveManyEditsAndPieces)
{
    ListItem *item = lv.ListItems()->Add(QStringLiteral("name"), QStringLiteral("key"));
    item->setTag(QStringLiteral("tag"));
    item->setSubItems(3, QStringLiteral("three"));
    for (int i = 0; i < 200; ++i)
        item->setSubItems(1, QString(i % 37, QLatin1Char('x')));
    EXPECT_EQ(item->Text(), "name");
    EXPECT_EQ(item->Key(), "key");
    EXPECT_EQ(item->Tag(), "tag");
    EXPECT_EQ(item->SubItems(1), QString(199 % 37, QLatin1Char('x')));
    EXPECT_EQ(item->SubItems(2), QString());
    EXPECT_EQ(item->SubItems(3), "three");
    EXPECT_EQ(item->SubItems(4), QString());
    item->setText(QString());
    item->setText(QStringLiteral("longer name"));
    EXPECT_EQ(item->Text(), "longer name");
    EXPECT_EQ(item->Key(), "key");

    ListItem *pieces = lv.ListItems()->AddPieces(QStringLiteral("0123456789"), {{2, 3}, {0, 0}, {5, 2}, {7, 3}});
    EXPECT_EQ(pieces->Text(), "234");
    EXPECT_EQ(pieces->Tag(), QString());
    EXPECT_EQ(pieces->Key(), "56");
    EXPECT_EQ(pieces->SubItems(1), "789");
    pieces->setSubItems(1, QStringLiteral("7"));
    pieces->setTag(QStringLiteral("new tag"));
    EXPECT_EQ(pieces->Key(), "56");
    EXPECT_EQ(pieces->SubItems(1), "7");
    EXPECT_EQ(pieces->Tag(), "new tag");
    EXPECT_EQ(shown(0), (QStringList{"longer name", "234"}));
}
