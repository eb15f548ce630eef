// The list view: model consistency, keep-sorted mode, selection, clicks, columns and
// the stored rows of a bulk fill.
#include "platform/ui/ListView.h"
#include "platform/ui/ListViewModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

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
            lv.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
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

TEST_F(ListViewTest, AHundredThousandStoredItemsSortStablyAndMakeTheirItemsOnDemand)
{
    tester.reset(); // its checks on every notification would take minutes here
    lv.show();
    lv.setSorted(true);
    lv.setSortKey(2);
    lv.setSortOrder(ListView::lvwDescending);
    // Ratings repeat: equal ones must keep the order they were added in.
    for (int i = 0; i < 100000; ++i) {
        const QByteArray name = "Channel " + QByteArray::number(i);
        const QString rating = QStringLiteral("%1").arg(i % 7, 6, 10, QLatin1Char('0'));
        lv.ListItems()->AddTexts({name, QByteArrayView("http://x/" + QByteArray::number(i)), QByteArrayView(),
                                  (i % 3) ? QByteArrayView("TV") : QByteArrayView("Radio"), rating});
    }
    QCoreApplication::processEvents(); // the view takes the rows
    ASSERT_EQ(lv.model()->rowCount(), 100000);
    int previousRating = 7;
    int previousIndex = -1;
    for (int row = 0; row < 100000; ++row) {
        const int rating = lv.model()->index(row, 2).data().toString().toInt();
        const int index = lv.model()->index(row, 0).data().toString().mid(8).toInt();
        ASSERT_TRUE(rating < previousRating || (rating == previousRating && index > previousIndex)) << row;
        ASSERT_EQ(rating, index % 7);
        previousRating = rating;
        previousIndex = index;
    }
    ListItem *first = lv.ListItems()->Item(1);
    EXPECT_EQ(first->Text(), QStringLiteral("Channel 6"));
    EXPECT_EQ(first->Tag(), QStringLiteral("http://x/6"));
    EXPECT_EQ(first->SubItems(1), QStringLiteral("Radio"));
    EXPECT_EQ(lv.ListItems()->Item(100000)->Text(), QStringLiteral("Channel 99995"));
    EXPECT_EQ(lv.ListItems()->Item(1), first); // one item per row, made once

    lv.setSortKey(0);
    EXPECT_EQ(lv.ListItems()->Item(1)->Text(), QStringLiteral("Channel 99999"));
    // Behind it: the names that start "Channel 7" to "Channel 9" (33,333) or "Channel 6" and go on
    // (11,110).
    EXPECT_EQ(first->Index(), 33333 + 11110 + 1);
    lv.ListItems()->Clear();
    EXPECT_EQ(lv.model()->rowCount(), 0);
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

    // Stored texts, from UTF-8 and from characters, become an item's texts when it is asked for.
    lv.ListItems()->AddTexts({QByteArrayView("Caf\xc3\xa9 \xe2\x82\xac"), QStringLiteral("tag \u00e9"),
                              QByteArrayView("k"), QByteArrayView(""), QByteArrayView("sub 2")});
    EXPECT_EQ(lv.ListItems()->keyView(2), QStringLiteral("k"));
    ListItem *stored = lv.ListItems()->Item(2);
    EXPECT_EQ(stored->Text(), QStringLiteral("Caf\u00e9 \u20ac"));
    EXPECT_EQ(stored->Tag(), QStringLiteral("tag \u00e9"));
    EXPECT_EQ(stored->Key(), "k");
    EXPECT_EQ(stored->SubItems(1), QString());
    EXPECT_EQ(stored->SubItems(2), "sub 2");
    EXPECT_EQ(stored->SubItems(3), QString());
    stored->setSubItems(1, QStringLiteral("7"));
    stored->setTag(QStringLiteral("new tag"));
    EXPECT_EQ(stored->Key(), "k");
    EXPECT_EQ(stored->SubItems(1), "7");
    EXPECT_EQ(stored->Tag(), "new tag");
    EXPECT_EQ(shown(1), (QStringList{QString(199 % 37, QLatin1Char('x')), "7"}));
    // More texts than a stored row keeps: the item holds them all.
    lv.ListItems()->AddTexts({QByteArrayView("many"), QByteArrayView(), QByteArrayView(), QByteArrayView("1"),
                              QByteArrayView("2"), QByteArrayView("3"), QByteArrayView("4"),
                              QByteArrayView("5"), QByteArrayView("6")});
    EXPECT_EQ(lv.ListItems()->Item(3)->SubItems(6), "6");
    EXPECT_EQ(lv.ListItems()->Item(3)->SubItems(1), "1");
    EXPECT_EQ(shown(0), (QStringList{"longer name", "Caf\u00e9 \u20ac", "many"}));
}

TEST_F(ListViewTest, StoredAndSingleItemsSortTogetherAndKeepTheirHandles)
{
    lv.setSorted(true);
    ListItem *m = lv.ListItems()->Add(QStringLiteral("m"));
    lv.ListItems()->AddTexts({QByteArrayView("B")});
    lv.ListItems()->AddTexts({QByteArrayView("z")});
    EXPECT_EQ(column(0), (QStringList{"B", "m", "z"}));
    EXPECT_EQ(m->Index(), 2);
    // A few more merge one by one, many at once; both among stored rows without items.
    lv.ListItems()->AddTexts({QByteArrayView("a")});
    ListItem *n = lv.ListItems()->Add(QStringLiteral("N"));
    EXPECT_EQ(n->Index(), 4);
    for (int i = 0; i < 40; ++i)
        lv.ListItems()->AddTexts({QByteArrayView(i % 2 ? "c" : "C")});
    QStringList all = column(0);
    EXPECT_EQ(all.size(), 45);
    EXPECT_EQ(all.mid(0, 4), (QStringList{"a", "B", "C", "c"}));
    EXPECT_EQ(m->Index(), 43);
    EXPECT_EQ(n->Index(), 44);
    EXPECT_EQ(shown(0), all);
    // Selecting a row in the view makes its item; removing it drops the selection.
    lv.selectionModel()->setCurrentIndex(lv.model()->index(44, 0),
                                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_NE(lv.SelectedItem(), nullptr);
    EXPECT_EQ(lv.SelectedItem()->Text(), "z");
    EXPECT_TRUE(lv.ListItems()->Remove(45));
    EXPECT_EQ(lv.SelectedItem(), nullptr);
    EXPECT_EQ(n->Index(), 44);
}

TEST_F(ListViewTest, ManyRowsSortAsAStableSortIgnoringCaseWouldInBothOrdersAndAfterEdits)
{
    QRandomGenerator rng(11);
    const QString letters = QStringLiteral("aAbB\u00e9\u00c9z0 ");
    const auto randomText = [&] {
        QString text;
        for (int n = int(rng.bounded(0, 7)); n > 0; --n)
            text += letters.at(int(rng.bounded(0, int(letters.size()))));
        return text;
    };
    QList<QPair<QString, QString>> rows; // sort text, name
    for (int i = 0; i < 3000; ++i) {
        rows.append({randomText(), QString::number(i)});
        lv.ListItems()->AddTexts({rows.last().second, QByteArrayView(), QByteArrayView(), rows.last().first});
    }
    const auto names = [](const QList<QPair<QString, QString>> &list) {
        QStringList out;
        for (const auto &row : list)
            out.append(row.second);
        return out;
    };
    const auto sortedAs = [&](bool descending) {
        std::stable_sort(rows.begin(), rows.end(), [descending](const auto &a, const auto &b) {
            const int c = a.first.compare(b.first, Qt::CaseInsensitive);
            return descending ? c > 0 : c < 0;
        });
        return names(rows);
    };
    lv.setSorted(true);
    lv.setSortKey(1);
    EXPECT_EQ(column(0), sortedAs(false));
    lv.setSortOrder(ListView::lvwDescending);
    EXPECT_EQ(column(0), sortedAs(true));

    // Edited rows go behind their equals, in the order of the edits, whether each is placed
    // before the next edit or all at once.
    QList<ListItem *> items;
    for (int i = 1; i <= 3000; ++i)
        items.append(lv.ListItems()->Item(i));
    QList<QPair<QString, QString>> edited;
    for (int i = 0; i < 200; ++i) {
        ListItem *item = items.at(int(rng.bounded(0, 3000)));
        const QString text = randomText();
        item->setSubItems(1, text);
        if (i % 3 == 0)
            item->Index(); // places it now
        edited.removeIf([&](const auto &e) { return e.second == item->Text(); });
        edited.append({text, item->Text()});
        for (auto &row : rows) {
            if (row.second == item->Text())
                row.first = text;
        }
    }
    QList<QPair<QString, QString>> unedited;
    for (const auto &row : std::as_const(rows)) {
        if (std::none_of(edited.begin(), edited.end(), [&](const auto &e) { return e.second == row.second; }))
            unedited.append(row);
    }
    rows = unedited + edited; // a stable sort then leaves each edit behind its equals
    EXPECT_EQ(column(0), sortedAs(true));
    EXPECT_EQ(shown(0), names(rows));
}

TEST_F(ListViewTest, RowsAddedToASortedListInBatchesOfAnySizeSitWhereOneStableSortPutsThem)
{
    QRandomGenerator rng(23);
    const QString letters = QStringLiteral("aAbB\u00e9\u00c9z0 ");
    const auto randomText = [&] {
        QString text;
        for (int n = int(rng.bounded(0, 5)); n > 0; --n)
            text += letters.at(int(rng.bounded(0, int(letters.size()))));
        return text;
    };
    for (const int order : {ListView::lvwAscending, ListView::lvwDescending}) {
        SCOPED_TRACE(order);
        lv.ListItems()->Clear();
        lv.setSorted(true);
        lv.setSortKey(1);
        lv.setSortOrder(order);
        QCoreApplication::processEvents();   // the empty list takes the order: the first batch fills it
        QList<QPair<QString, QString>> rows; // sort text, name; in the order added
        QList<QPair<ListItem *, QString>> handles;
        int added = 0;
        for (int batch = 0; batch < 40; ++batch) {
            // One row, a few, and more than a few at a time, between looks at the list.
            const int sizes[] = {1, 1, 2, 3, 31, 32, 33, 120};
            for (int n = sizes[rng.bounded(0, 8)]; n > 0; --n, ++added) {
                const QString name = QString::number(added);
                const QString text = randomText();
                rows.append({text, name});
                if (rng.bounded(0, 3) == 0) {
                    ListItem *item = lv.ListItems()->Add(name);
                    item->setSubItems(1, text);
                    handles.append({item, name});
                } else {
                    lv.ListItems()->AddTexts({name, QByteArrayView(), QByteArrayView(), text});
                }
            }
            if (batch % 2)
                lv.ListItems()->Item(1); // placed at once
            else
                QCoreApplication::processEvents(); // placed when the view asks
        }
        QList<QPair<QString, QString>> expected = rows;
        std::stable_sort(expected.begin(), expected.end(), [order](const auto &a, const auto &b) {
            const int c = a.first.compare(b.first, Qt::CaseInsensitive);
            return order == ListView::lvwAscending ? c < 0 : c > 0;
        });
        QStringList names;
        for (const auto &row : std::as_const(expected))
            names.append(row.second);
        EXPECT_EQ(column(0), names);
        EXPECT_EQ(shown(0), names);
        for (const auto &[item, name] : std::as_const(handles))
            ASSERT_EQ(item->Index(), names.indexOf(name) + 1) << name.toStdString();
    }
}

TEST_F(ListViewTest, FilterFindsAPieceOfTheTextIgnoringCaseAccentsAndLetterSpellings)
{
    for (const char *name : {"Café Paris", "CAFE DEL MAR", "Cafeteria", "Radio Nova", "Straße 1", "Øresund",
                             "KRAKÓW", "ｃａｆｅ wide", "Décafé"})
        lv.ListItems()->AddTexts({QString::fromUtf8(name)});
    const QStringList all = column(0);
    const auto find = [this](const char *text) {
        lv.setFilterText(QString::fromUtf8(text));
        return shown(0);
    };
    const QStringList cafes = {QString::fromUtf8("Café Paris"), QStringLiteral("CAFE DEL MAR"),
                               QStringLiteral("Cafeteria"), QString::fromUtf8("ｃａｆｅ wide"),
                               QString::fromUtf8("Décafé")};
    EXPECT_EQ(find("cafe"), cafes);
    EXPECT_EQ(find("CAFÉ"), cafes);
    EXPECT_EQ(find("caf"), cafes); // a key taken back widens again
    EXPECT_EQ(find("strasse"), QStringList{QString::fromUtf8("Straße 1")});
    EXPECT_EQ(find("ORESUND"), QStringList{QString::fromUtf8("Øresund")});
    EXPECT_EQ(find("krakow"), QStringList{QString::fromUtf8("KRAKÓW")});
    EXPECT_EQ(find("afe d"), QStringList{QStringLiteral("CAFE DEL MAR")});
    EXPECT_EQ(find("xyz"), QStringList{});
    EXPECT_EQ(lv.shownCount(), 0);
    // The filter only hides: every item is still there, in its place.
    EXPECT_EQ(column(0), all);
    EXPECT_EQ(find(""), all);
    EXPECT_EQ(lv.shownCount(), all.size());
}

TEST_F(ListViewTest, FilteredRowsKeepTheSortAndFollowItsChangesAndTheItemsEdits)
{
    lv.setSorted(true);
    lv.setSortOrder(ListView::lvwDescending);
    for (const char *name : {"news b", "sport", "News a", "weather", "news c"})
        lv.ListItems()->AddTexts({QString::fromUtf8(name)});
    lv.setFilterText(QStringLiteral("news"));
    EXPECT_EQ(shown(0), (QStringList{"news c", "news b", "News a"}));
    EXPECT_EQ(lv.SortOrder(), ListView::lvwDescending);
    lv.setSortOrder(ListView::lvwAscending);
    EXPECT_EQ(shown(0), (QStringList{"News a", "news b", "news c"}));
    // Items added, renamed and removed while the filter is on are found or not by their texts.
    lv.ListItems()->Add(QStringLiteral("More news"));
    lv.ListItems()->Item(lv.ListItems()->IndexOf(u"sport", u""))->setText(QStringLiteral("Sport news"));
    EXPECT_EQ(shown(0), (QStringList{"More news", "News a", "news b", "news c", "Sport news"}));
    lv.ListItems()->Item(lv.ListItems()->IndexOf(u"news b", u""))->setText(QStringLiteral("Business"));
    lv.ListItems()->Remove(lv.ListItems()->IndexOf(u"More news", u""));
    EXPECT_EQ(shown(0), (QStringList{"News a", "news c", "Sport news"}));
    lv.ListItems()->RemoveWhere([](const ListItem &item) { return item.Text() == QLatin1String("news c"); });
    EXPECT_EQ(shown(0), (QStringList{"News a", "Sport news"}));
    lv.setFilterText(QString());
    EXPECT_EQ(shown(0), (QStringList{"Business", "News a", "Sport news", "weather"}));
}

TEST_F(ListViewTest, FilterHidesTheSelectionAndAClickPicksTheFoundItemUnderTheMouse)
{
    for (const char *name : {"alpha", "beta one", "gamma", "beta two"})
        add(QString::fromUtf8(name));
    lv.show();
    lv.ListItems()->Item(3)->setSelected(true);
    lv.setFilterText(QStringLiteral("beta"));
    EXPECT_EQ(lv.SelectedItem(), nullptr); // what cannot be seen is not acted on
    QCoreApplication::processEvents();
    ListItem *clicked = nullptr;
    QObject::connect(&lv, &ListView::ItemClick, [&](ListItem *item) { clicked = item; });
    QTest::mouseClick(lv.viewport(), Qt::LeftButton, {}, lv.visualRect(lv.model()->index(1, 0)).center());
    ASSERT_NE(clicked, nullptr);
    EXPECT_EQ(clicked->Text(), QStringLiteral("beta two"));
    EXPECT_EQ(lv.SelectedItem(), clicked);
    EXPECT_EQ(lv.selectionModel()->selectedRows().value(0).row(), 1);
    lv.setFilterText(QString());
    EXPECT_EQ(lv.SelectedItem(), clicked);
    EXPECT_EQ(lv.selectionModel()->selectedRows().value(0).row(), 3);
}

TEST_F(ListViewTest, RowsEndAboveTheFooterSoTheLastOneCanBeSeen)
{
    for (int i = 0; i < 200; ++i)
        lv.ListItems()->AddTexts({QStringLiteral("row %1").arg(i)});
    lv.show();
    const QRect before = lv.geometry();
    auto *footer = new QLineEdit;
    lv.setFooter(footer);
    EXPECT_TRUE(footer->isHidden());
    footer->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(lv.geometry(), before);
    EXPECT_EQ(footer->parentWidget(), &lv);
    EXPECT_TRUE(lv.rect().contains(footer->geometry()));
    EXPECT_GT(footer->height(), 0);
    EXPECT_LE(lv.viewport()->geometry().bottom(), footer->geometry().top());
    const QModelIndex last = lv.model()->index(199, 0);
    lv.scrollTo(last);
    QCoreApplication::processEvents();
    EXPECT_LE(lv.visualRect(last).bottom(), lv.viewport()->height());
    EXPECT_LT(lv.viewport()->mapTo(&lv, lv.visualRect(last).bottomLeft()).y(), footer->geometry().top());
    footer->hide();
    QCoreApplication::processEvents();
    EXPECT_GT(lv.viewport()->geometry().bottom(), footer->geometry().top());
}
