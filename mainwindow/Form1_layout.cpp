// Fits the player, the side panels, their lists and a few followers to the window's size.
#include "mainwindow/Form1.h"

#include "services/modMarque.h"

#include <QFontMetrics>
#include <QRegularExpression>
#include <cmath>

namespace
{

// Sizes come out of floating-point arithmetic; absolute values keep a small window's
// sizes from going negative.
int twips(double value)
{
    return int(std::lround(std::fabs(value)));
}

template <class From, class To> void takeRectangle(const From *from, To *to)
{
    to->setTop(from->Top());
    to->setLeft(from->Left());
    to->setHeight(from->Height());
    to->setWidth(from->Width());
}

} // namespace

void Form1::resizeControls()
{
    const double W = Width();
    const double H = Height();
    ui::MediaPlayer *player = WindowsMediaPlayer1;

    player->setWidth(twips(W - player->Left() - 600));
    player->setHeight(twips(H - player->Top() - 1200));
    wbyoutube->setHeight(player->Height());
    wbyoutube->setTop(player->Top());
    wbyoutube->setWidth(player->Width());
    wbyoutube->setLeft(player->Left());

    imgOffline->setTop(twips(player->Height() / 2.0 - imgOffline->Height() / 2.0 + player->Top()));
    imgOffline->setLeft(twips(player->Width() / 2.0 - imgOffline->Width() / 2.0 + player->Left()));

    Frame1->setHeight(player->Height() + 140);
    if (blnShowBanner)
        Frame1->setHeight(Frame1->Height() + wbBanner->Height());
    takeRectangle(Frame1, Frame3);
    takeRectangle(Frame1, Frame4);
    takeRectangle(Frame1, Frame5);

    ListView1->setHeight(twips(double(Frame1->Height()) - ListView1->Top() - 300));
    takeRectangle(ListView1, ListView2);
    ListView3->setHeight(twips(double(ListView2->Height()) - txtStatus->Height() - 60));
    txtStatus->setTop(ListView1->Height() + ListView1->Top() + 60);

    Dir1->setHeight(twips((double(Frame4->Height()) - Dir1->Top() - 600) / 2.0));
    File1->setTop(twips(double(Dir1->Height()) + Dir1->Top() + 60));
    File1->setHeight(Dir1->Height());

    cmdWebsite->setWidth(twips(W - cmdWebsite->Left() - 600));
    if (ui::StatusPanel *panel = StatusBar1->Panels(1))
        panel->setWidth(int(W));

    fitFindReplaceRow();
}

void Form1::fitFindReplaceRow()
{
    // The words of the find-and-replace row sit in the gaps between its boxes, which were
    // placed for a smaller font. A box gives up room at its left, keeping its right edge,
    // until the word before it shows at the size of every other label.
    static const QRegularExpression blankRun(QStringLiteral(" {2,}"));
    const QStringList words = Label3->Caption().split(blankRun, Qt::SkipEmptyParts);
    const QFontMetrics metrics(Label3->font());
    constexpr int clearance = 3; // pixels between a word and the boxes beside it
    int wordLeft = Label3->x();
    const auto yieldTo = [&](auto *box, qsizetype word) {
        const int needed = wordLeft + metrics.horizontalAdvance(words.value(word)) + clearance;
        if (word < words.size() && box->x() < needed && needed < box->x() + box->width()) {
            const int right = box->Left() + box->Width();
            const int left = ui::toTwips(needed);
            box->Move(left, box->Top(), right - left, box->Height());
        }
        wordLeft = box->x() + box->width() + clearance;
    };
    yieldTo(Text2, 0);
    yieldTo(Text3, 1);
    yieldTo(Combo2, 2);
}
