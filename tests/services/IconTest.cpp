// Window icons from the icon group "AAA".
#include "services/modIcon.h"

#include <QIcon>
#include <QWidget>
#include <gtest/gtest.h>

TEST(IconTest, TheGroupHoldsSmallLargeAndExtraLargeImages)
{
    const QIcon icon = LoadIconGroup(QStringLiteral("AAA"));
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    const QImage small = icon.pixmap(16, 16).toImage();
    EXPECT_EQ(small.size(), QSize(16, 16));
    EXPECT_GT(qAlpha(small.pixel(8, 10)), 0); // a picture, not an empty square
    EXPECT_TRUE(LoadIconGroup(QStringLiteral("aaa")).availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(LoadIconGroup(QStringLiteral("BBB")).isNull());
    EXPECT_TRUE(LoadIconGroup(QString()).isNull());
}

TEST(IconTest, SetIconGivesTheWindowAndOptionallyItsTopmostOwnerTheIcons)
{
    QWidget owner;
    QWidget middle(&owner, Qt::Window);
    QWidget window(&middle, Qt::Window);

    // A window without an icon of its own shows its owner's; the attribute tells who has one.
    SetIcon(&window, QStringLiteral("AAA"), false);
    EXPECT_TRUE(window.testAttribute(Qt::WA_SetWindowIcon));
    EXPECT_TRUE(window.windowIcon().availableSizes().contains(QSize(48, 48)));
    EXPECT_FALSE(owner.testAttribute(Qt::WA_SetWindowIcon));
    EXPECT_FALSE(middle.testAttribute(Qt::WA_SetWindowIcon));

    SetIcon(&window, QStringLiteral("AAA"), true);
    EXPECT_TRUE(owner.testAttribute(Qt::WA_SetWindowIcon));
    EXPECT_TRUE(owner.windowIcon().availableSizes().contains(QSize(32, 32)));
    EXPECT_FALSE(middle.testAttribute(Qt::WA_SetWindowIcon)); // only the topmost owner

    QWidget alone;
    SetIcon(&alone, QStringLiteral("AAA"), true); // its own topmost owner
    EXPECT_TRUE(alone.testAttribute(Qt::WA_SetWindowIcon));
    EXPECT_TRUE(alone.windowIcon().availableSizes().contains(QSize(16, 16)));
}

TEST(IconTest, AnUnknownGroupSetsNothing)
{
    QWidget window;
    SetIcon(&window, QStringLiteral("NOPE"), true);
    EXPECT_FALSE(window.testAttribute(Qt::WA_SetWindowIcon));
    SetIcon(nullptr, QStringLiteral("AAA"), true);
}
