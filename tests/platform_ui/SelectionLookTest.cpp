// A list keeps showing its selected row after the focus has gone elsewhere (a button beside
// it, or another window): the user must see what a button like "Add to Favorites" acts on.
#include "platform/ui/FileLists.h"
#include "platform/ui/InputControls.h"
#include "platform/ui/ListView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

struct ListCase {
    const char *name;
    // Builds the list in the host with three entries, the second selected.
    std::function<QAbstractItemView *(QWidget *host, const QString &folder)> make;
    // Where the selected entry is drawn, in the view's viewport.
    QRect (*selectedRect)(QAbstractItemView *);
};

QRect currentRect(QAbstractItemView *view)
{
    return view->visualRect(view->currentIndex());
}

QList<ListCase> listCases()
{
    return {
        {"ListView",
         [](QWidget *host, const QString &) -> QAbstractItemView * {
             auto *list = new ListView(host);
             list->ColumnHeaders()->Add(QStringLiteral("Channel"), 200);
             for (const char *name : {"One", "Two", "Three"})
                 list->ListItems()->Add(QString::fromLatin1(name));
             list->setSelectedItem(list->ListItems()->Item(2));
             return list;
         },
         currentRect},
        {"ListBox",
         [](QWidget *host, const QString &) -> QAbstractItemView * {
             auto *list = new ListBox(host);
             for (const char *name : {"One", "Two", "Three"})
                 list->AddItem(QString::fromLatin1(name));
             list->setListIndex(1);
             return list;
         },
         currentRect},
        {"FileListBox",
         [](QWidget *host, const QString &folder) -> QAbstractItemView * {
             auto *list = new FileListBox(host);
             list->setPath(folder);
             list->setListIndex(1);
             return list;
         },
         currentRect},
        {"DirListBox",
         [](QWidget *host, const QString &folder) -> QAbstractItemView * {
             auto *list = new DirListBox(host);
             list->setPath(folder);
             list->setListIndex(1);
             return list;
         },
         currentRect},
    };
}

// Colours far enough apart for a person to tell them apart.
bool distinct(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 40;
}

class SelectionLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        for (const char *name : {"a.mp3", "b.mp3", "c.mp3"}) {
            QFile f(folder.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        for (const char *name : {"one", "two", "three"})
            ASSERT_TRUE(QDir(folder.path()).mkdir(QString::fromLatin1(name)));
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(SelectionLookTest, TheSelectedRowStaysHighlightedAfterTheFocusMovesToAnotherControl)
{
    for (const ListCase &c : listCases()) {
        SCOPED_TRACE(c.name);
        QWidget host;
        auto *layout = new QVBoxLayout(&host);
        QAbstractItemView *list = c.make(&host, folder.path());
        auto *other = new QLineEdit(&host);
        layout->addWidget(list);
        layout->addWidget(other);
        host.resize(300, 300);
        host.show();
        QApplication::setActiveWindow(&host);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));

        list->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }));
        const QRect row = c.selectedRect(list);
        ASSERT_TRUE(row.isValid());
        // A point of the row away from its text.
        const QPoint spot(std::min(row.right(), list->viewport()->width() - 1) - 3, row.center().y());
        const QColor base = list->palette().color(QPalette::Active, QPalette::Base);
        const QColor focused = list->viewport()->grab().toImage().pixelColor(spot);
        EXPECT_TRUE(distinct(focused, base)) << focused.name().toStdString();

        other->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
        const QColor after = list->viewport()->grab().toImage().pixelColor(spot);
        EXPECT_TRUE(distinct(after, base))
            << "row " << after.name().toStdString() << ", base " << base.name().toStdString();
    }
}

TEST_F(SelectionLookTest, AListInAWindowThatIsNotActiveHasAHighlightApartFromItsBackground)
{
    // Another window (a message box, the About window) takes the activation: the views draw
    // their selection in the palette's inactive group then.
    for (const ListCase &c : listCases()) {
        SCOPED_TRACE(c.name);
        QWidget host;
        auto *layout = new QVBoxLayout(&host);
        QAbstractItemView *list = c.make(&host, folder.path());
        layout->addWidget(list);
        host.show();
        QApplication::setActiveWindow(&host);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
        list->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return list->hasFocus(); }));
        QWidget elsewhere;
        elsewhere.show();
        QApplication::setActiveWindow(&elsewhere);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !host.isActiveWindow(); }));

        const QPalette p = list->palette();
        EXPECT_TRUE(distinct(p.color(QPalette::Inactive, QPalette::Highlight),
                             p.color(QPalette::Inactive, QPalette::Base)));
        EXPECT_TRUE(distinct(p.color(QPalette::Inactive, QPalette::HighlightedText),
                             p.color(QPalette::Inactive, QPalette::Highlight)));
    }
}

TEST(ListViewSelectionTest, HideSelectionStillHidesTheRowWithoutTheFocusWhenAskedFor)
{
    QWidget host;
    auto *layout = new QVBoxLayout(&host);
    auto *list = new ListView(&host);
    auto *other = new QLineEdit(&host);
    layout->addWidget(list);
    layout->addWidget(other);
    list->ColumnHeaders()->Add(QStringLiteral("Channel"), 200);
    list->ListItems()->Add(QStringLiteral("One"));
    list->setSelectedItem(list->ListItems()->Item(1));
    EXPECT_FALSE(list->HideSelection());
    list->setHideSelection(true);
    host.show();
    QApplication::setActiveWindow(&host);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }));
    const QPalette hidden = list->palette();
    EXPECT_EQ(hidden.color(QPalette::Active, QPalette::Highlight),
              hidden.color(QPalette::Active, QPalette::Base));

    // Switched off again, the selection shows whatever holds the focus.
    list->setHideSelection(false);
    const QPalette shown = list->palette();
    EXPECT_TRUE(distinct(shown.color(QPalette::Active, QPalette::Highlight),
                         shown.color(QPalette::Active, QPalette::Base)));
}
