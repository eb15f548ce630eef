// How the main window's panels and lists look: a panel's title sits on its border, and the
// list columns keep their design widths.
#include "tests/mainwindow/MainWindowFixture.h"

#include "platform/ui/Controls.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <climits>

using namespace mwtest;

namespace
{

class WindowLookTest : public MainWindowTest
{
};

bool isInk(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

bool isBackground(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == QColor(Qt::white).rgb();
}

} // namespace

TEST(FrameLook, TitleSitsOnTheTopBorderAndInterruptsIt)
{
    ui::Frame frame;
    frame.setPalette(QPalette(Qt::black, Qt::white));
    frame.setAutoFillBackground(true);
    frame.setCaption(QStringLiteral("Channels"));
    frame.resize(240, 120);
    const QImage image = frame.grab().toImage();
    ASSERT_EQ(image.width(), 240);

    // The border's top line, found well right of the title.
    const int probeX = image.width() - 20;
    int borderY = -1;
    for (int y = 0; y < image.height() && borderY < 0; ++y) {
        if (!isBackground(image, probeX, y))
            borderY = y;
    }
    ASSERT_GT(borderY, 0);

    // The title's letters reach above and below that line.
    const int titleWidth = frame.fontMetrics().horizontalAdvance(frame.Caption());
    int inkTop = image.height();
    int inkBottom = -1;
    for (int y = 0; y < image.height() / 2; ++y) {
        for (int x = 8; x < 8 + titleWidth; ++x) {
            if (isInk(image, x, y)) {
                inkTop = std::min(inkTop, y);
                inkBottom = std::max(inkBottom, y);
            }
        }
    }
    ASSERT_GE(inkBottom, 0) << "no title drawn";
    EXPECT_LT(inkTop, borderY);
    EXPECT_GT(inkBottom, borderY);

    // The line is cut where the title crosses it, and runs on after it.
    EXPECT_TRUE(isBackground(image, 7, borderY));
    EXPECT_FALSE(isBackground(image, 8 + titleWidth + 10, borderY));

    // Without a title the border is the frame's own top edge; children keep the frame's corner.
    frame.setCaption(QString());
    const QImage plain = frame.grab().toImage();
    EXPECT_FALSE(isBackground(plain, probeX, 0));
    ui::Label child(&frame);
    child.Move(150, 300, 600, 255);
    EXPECT_EQ(child.pos(), QPoint(10, 20));
}

TEST_F(WindowLookTest, ChannelColumnsKeepTheirDesignWidthsAndFavouritesFitTheirList)
{
    putSetting("TVLang", "All");
    writeData({channelLine("News", "TV", "English")});
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    f->Move(0, 0, 15360, 11100);

    ui::ColumnHeaderCollection *channelColumns = f->ListView1->ColumnHeaders();
    ASSERT_EQ(channelColumns->Count(), 5);
    const int designWidths[] = {2800, 1440, 1440, 0, 0};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(channelColumns->Item(i)->Width(), designWidths[i - 1]) << i;
        EXPECT_EQ(f->ListView1->isColumnHidden(i - 1), designWidths[i - 1] == 0) << i;
    }
    EXPECT_EQ(f->ListView1->header()->sectionSize(0), ui::toPixels(2800));

    // The favourites list has no widths of its own in the design; its columns fit inside it
    // even with a vertical scroll bar, so it never scrolls sideways.
    ui::ListView *favourites = f->ListView2;
    ASSERT_EQ(favourites->ColumnHeaders()->Count(), 3);
    const int room = favourites->width() - 2 * favourites->frameWidth() -
                     favourites->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    EXPECT_LE(favourites->header()->length(), room);
    ui::ListView *results = f->ListView3;
    EXPECT_LE(results->header()->length(), results->width() - 2 * results->frameWidth() -
                                               results->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

TEST_F(WindowLookTest, EditorPanelCoversThePlayerAndShowsItsCaptions)
{
    env->writeFile(env->programFolder() + QStringLiteral("/admin.txt"), QByteArray());
    writeData({channelLine("News", "TV", "English")});
    Form1 *f = loadForm1();
    ASSERT_NE(f, nullptr);
    f->Move(0, 0, 15360, 11100);
    ASSERT_TRUE(f->Frame2->isVisibleTo(f));

    // Above the player and the YouTube pane it lies on, below the offline picture.
    const QObjectList stacking = f->client()->children();
    const auto level = [&](QObject *control) { return stacking.indexOf(control); };
    EXPECT_GT(level(f->Frame2), level(f->WindowsMediaPlayer1));
    EXPECT_GT(level(f->Frame2), level(f->wbyoutube));
    EXPECT_LT(level(f->Frame2), level(f->imgOffline));

    // An empty part of the panel shows the panel, not the black of the player beneath it.
    const QImage window = f->client()->grab().toImage();
    const QPoint empty = f->Frame2->geometry().topLeft() + QPoint(ui::toPixels(4000), ui::toPixels(5500));
    ASSERT_TRUE(f->WindowsMediaPlayer1->geometry().contains(empty));
    EXPECT_EQ(window.pixelColor(empty), f->Frame2->palette().color(QPalette::Window));

    // "with" and "in column" show in the gaps between the find, replace and column boxes.
    const QImage panel = f->Frame2->grab().toImage();
    const int rowTop = f->Label3->y();
    const int rowHeight = f->Label3->height();
    const auto inkBetween = [&](QWidget *before, QWidget *after) {
        for (int x = before->geometry().right() + 1; x < after->x(); ++x) {
            for (int y = rowTop; y < rowTop + rowHeight; ++y) {
                if (isInk(panel, x, y))
                    return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(inkBetween(f->Text2, f->Text3));
    EXPECT_TRUE(inkBetween(f->Text3, f->Combo2));

    // The row's words are as tall as the other labels' ("Replace" and "Find and replace:"
    // both reach from a capital's top to a "p"'s tail), and each word shows whole.
    const auto inkHeight = [&](const QRect &area) {
        int top = INT_MAX, bottom = -1;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (isInk(panel, x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        return bottom < 0 ? 0 : bottom - top + 1;
    };
    const QRect replaceWord(f->Label3->x(), rowTop, f->Text2->x() - f->Label3->x(), rowHeight);
    const int labelHeight = inkHeight(f->Label4->geometry());
    ASSERT_GT(labelHeight, 0);
    EXPECT_EQ(inkHeight(replaceWord), labelHeight);
    const QFontMetrics metrics(f->Label3->font());
    EXPECT_LE(f->Label3->x() + metrics.horizontalAdvance("Replace"), f->Text2->x());
    EXPECT_LE(f->Text2->geometry().right() + metrics.horizontalAdvance("with"), f->Text3->x());
    EXPECT_LE(f->Text3->geometry().right() + metrics.horizontalAdvance("in column"), f->Combo2->x());
    // The boxes keep their right edges.
    EXPECT_EQ(f->Text2->Left() + f->Text2->Width(), 900 + 2355);
    EXPECT_EQ(f->Combo2->Left() + f->Combo2->Width(), 6900 + 1395);
}
