// How controls look where the design is tight: frames hide what lies beneath, captions too long
// for their control break or shrink, spaced-out captions show between the controls over them,
// and the folder list shows the way up.
#include "platform/ui/Controls.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

bool hasInk(const QImage &image, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                return true;
        }
    }
    return false;
}

// Bounding box of the caption's ink: pixels much darker than any border or background.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 80)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

QWidget *whiteHost()
{
    auto *host = new QWidget;
    host->setPalette(QPalette(Qt::black, Qt::white));
    host->setAutoFillBackground(true);
    host->resize(600, 60);
    return host;
}

} // namespace

TEST(ControlLookTest, AFrameHidesWhatLiesBeneathIt)
{
    std::unique_ptr<QWidget> host(whiteHost());
    auto *beneath = new QWidget(host.get());
    beneath->setPalette(QPalette(Qt::black));
    beneath->setAutoFillBackground(true);
    beneath->setGeometry(0, 0, 600, 60);
    auto *frame = new Frame(host.get());
    frame->setGeometry(100, 0, 200, 60);

    const QImage image = host->grab().toImage();
    // Inside the frame's border its own window colour shows, not the black beneath.
    const QColor inside = image.pixelColor(200, 30);
    EXPECT_EQ(inside, frame->palette().color(QPalette::Window));
    EXPECT_NE(inside, QColor(Qt::black));
}

TEST(ControlLookTest, SpacedOutCaptionShowsEveryWordBetweenTheControlsOverIt)
{
    std::unique_ptr<QWidget> host(whiteHost());
    auto *label = new Label(host.get());
    label->setGeometry(0, 20, 560, 17);
    label->setCaption(QStringLiteral("Replace") + QString(56, QLatin1Char(' ')) + QStringLiteral("with") +
                      QString(56, QLatin1Char(' ')) + QStringLiteral("in column"));
    // Two boxes over the label with narrow gaps, as the designer's font needed them.
    const QRect first(44, 16, 157, 24);
    const QRect second(232, 16, 161, 24);
    for (const QRect &place : {first, second}) {
        auto *box = new QWidget(host.get());
        box->setPalette(QPalette(Qt::white));
        box->setAutoFillBackground(true);
        box->setGeometry(place);
    }
    const int rowTop = label->y();
    const int rowBottom = label->geometry().bottom();
    const QRect beforeFirst(0, rowTop, first.left(), rowBottom - rowTop);
    const QRect between(first.right() + 1, rowTop, second.left() - first.right() - 1, rowBottom - rowTop);
    const QRect after(second.right() + 1, rowTop, 560 - second.right() - 1, rowBottom - rowTop);

    // Laid out with the font's own blanks, the later words end up under the boxes.
    const QImage plain = host->grab().toImage();
    EXPECT_TRUE(hasInk(plain, beforeFirst));
    EXPECT_FALSE(hasInk(plain, between) && hasInk(plain, after));

    label->setWordsBetweenCovers(true);
    const QImage spread = host->grab().toImage();
    EXPECT_TRUE(hasInk(spread, beforeFirst));
    EXPECT_TRUE(hasInk(spread, between));
    EXPECT_TRUE(hasInk(spread, after));

    // A caption without runs of blanks is drawn as any label is.
    label->setCaption(QStringLiteral("Find and replace:"));
    const QImage single = host->grab().toImage();
    label->setWordsBetweenCovers(false);
    EXPECT_EQ(single, host->grab().toImage());
}

TEST(ControlLookTest, CaptionsTooLongForTheirControlBreakOrShrinkInsteadOfBeingCut)
{
    // A button wraps its caption onto a second line, as the system's buttons do.
    CommandButton button;
    button.setCaption(QStringLiteral("Verschlüsseln und speichern"));
    button.resize(133, 45);
    const QRect wrapped = inkBounds(button.grab().toImage());
    ASSERT_TRUE(wrapped.isValid());
    EXPECT_GT(wrapped.left(), 2);
    EXPECT_LT(wrapped.right(), button.width() - 3);
    EXPECT_GT(wrapped.height(), button.fontMetrics().height());
    // One word that cannot break is drawn smaller.
    button.setCaption(QStringLiteral("Hinzufügen"));
    button.resize(69, 25);
    const QRect shrunk = inkBounds(button.grab().toImage());
    ASSERT_TRUE(shrunk.isValid());
    EXPECT_GT(shrunk.left(), 2);
    EXPECT_LT(shrunk.right(), button.width() - 3);
    // A caption that fits is left to the style.
    button.setCaption(QStringLiteral("OK"));
    EXPECT_LT(inkBounds(button.grab().toImage()).width(), button.fontMetrics().horizontalAdvance("OKK"));

    Label label;
    label.setPalette(QPalette(Qt::black, Qt::white));
    label.setAutoFillBackground(true);
    label.setCaption(QStringLiteral("Verschlüsseln"));
    label.resize(70, 17);
    const QRect labelInk = inkBounds(label.grab().toImage());
    ASSERT_TRUE(labelInk.isValid());
    EXPECT_LT(labelInk.right(), label.width() - 2);

    std::unique_ptr<QWidget> host(whiteHost());
    auto *box = new CheckBox(host.get());
    // Wide letters all the way, so a cut caption leaves ink at the box's right edge.
    box->setCaption(QString(20, QLatin1Char('M')));
    box->setGeometry(0, 0, 200, 13);
    const QRect boxInk = inkBounds(host->grab().toImage().copy(box->geometry()));
    ASSERT_TRUE(boxInk.isValid());
    EXPECT_LT(boxInk.right(), box->width() - 2);
}

TEST(ControlLookTest, FolderListShowsTheWayFromTheRootAndClimbsUpOnDoubleClick)
{
    QTemporaryDir dir;
    const QString base = QDir(dir.path()).absolutePath();
    QDir(base).mkpath(QStringLiteral("Music/Albums"));
    QDir(base).mkpath(QStringLiteral("Music/Live"));

    DirListBox folders;
    folders.resize(300, 400);
    ASSERT_TRUE(folders.setPath(base + QStringLiteral("/Music")));

    // Every folder from the root down to the current one, then its subfolders.
    const int depth = int(base.count(QLatin1Char('/'))) + 1; // "/" plus one row per name
    ASSERT_EQ(folders.count(), depth + 1 + 2);
    EXPECT_EQ(folders.item(0)->text(), QStringLiteral("/"));
    EXPECT_EQ(folders.item(depth)->text(), QStringLiteral("Music"));
    EXPECT_EQ(folders.item(depth + 1)->text(), QStringLiteral("Albums"));

    // Indices still count from the first subfolder; the current folder is picked.
    EXPECT_EQ(folders.ListCount(), 2);
    EXPECT_EQ(folders.List(0), base + QStringLiteral("/Music/Albums"));
    EXPECT_EQ(folders.List(-1), base + QStringLiteral("/Music"));
    EXPECT_EQ(folders.List(-2), base);
    EXPECT_EQ(folders.List(-depth - 1), QStringLiteral("/"));
    EXPECT_EQ(folders.List(-depth - 2), QString());
    EXPECT_EQ(folders.ListIndex(), -1);
    folders.setListIndex(1);
    EXPECT_EQ(folders.currentItem()->text(), QStringLiteral("Live"));

    // Each folder is drawn further right than the one above it.
    folders.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&folders));
    const QImage image = folders.viewport()->grab().toImage();
    auto firstInk = [&](int row) {
        const QRect place = folders.visualItemRect(folders.item(row));
        const QColor background = image.pixelColor(place.right() - 1, place.center().y());
        for (int x = place.left(); x < place.right(); ++x) {
            for (int y = place.top(); y <= place.bottom(); ++y) {
                if (image.pixelColor(x, y) != background)
                    return x;
            }
        }
        return -1;
    };
    EXPECT_GE(firstInk(0), 0);
    EXPECT_LT(firstInk(0), firstInk(1));
    EXPECT_LT(firstInk(depth - 1), firstInk(depth + 1));

    QSignalSpy changes(&folders, &DirListBox::Change);
    // As the window system delivers a double click: press, release, double click, release.
    const QPoint parentRow = folders.visualItemRect(folders.item(depth - 1)).center();
    QTest::mouseClick(folders.viewport(), Qt::LeftButton, {}, parentRow);
    QTest::mouseDClick(folders.viewport(), Qt::LeftButton, {}, parentRow);
    QTest::mouseRelease(folders.viewport(), Qt::LeftButton, {}, parentRow);
    EXPECT_TRUE(QTest::qWaitFor([&] { return changes.count() == 1; }));
    EXPECT_EQ(folders.Path(), base);
    EXPECT_EQ(folders.ListIndex(), -1);
}
