// The submission window's design: every control at its design place and text, in design
// order, the event wiring, its load and the test-play of a found link.
#include "submission/frmSubmit.h"

#include "localisation/modLanguages.h"
#include "platform/ui/Controls.h"

namespace
{

constexpr int kClientWidth = 8400;
constexpr int kClientHeight = 9180;

template <class T> T *captioned(T *control, const QString &caption)
{
    control->setCaption(caption);
    return control;
}

} // namespace

frmSubmit::frmSubmit(QWidget *parent) : ui::Form(QStringLiteral("frmSubmit"), parent)
{
    setFont(QFont(QStringLiteral("Verdana")));
    setCaption(QStringLiteral("Add Channels"));

    Label1 = captioned(addControl<ui::Label>("Label1", nullptr, 120, 150, 2280, 255),
                       QStringLiteral("Channel Name:"));
    txtName = addControl<ui::TextBox>("txtName", nullptr, 2460, 120, 5820, 315);
    Label2 = captioned(addControl<ui::Label>("Label2", nullptr, 120, 570, 2280, 255),
                       QStringLiteral("Channel Type:"));
    cmbType = addControl<ui::ComboBox>("cmbType", nullptr, 2460, 540, 2415, 315);
    cmbType->setStyle(ui::ComboBox::vbComboDropdown);
    cmbType->AddItems({QStringLiteral("TV/Video"), QStringLiteral("Radio/Music")});
    cmbType->setText(QStringLiteral("TV/Video"));
    Label3 = captioned(addControl<ui::Label>("Label3", nullptr, 120, 990, 2280, 255),
                       QStringLiteral("Channel Languages:"));
    txtLang = addControl<ui::TextBox>("txtLang", nullptr, 2460, 960, 5820, 315);
    txtLang->setText(QStringLiteral("English"));
    Label4 = captioned(addControl<ui::Label>("Label4", nullptr, 120, 1410, 2280, 255),
                       QStringLiteral("Channel URL:"));
    txtURL = addControl<ui::TextBox>("txtURL", nullptr, 2460, 1380, 5820, 315);
    Label5 = captioned(addControl<ui::Label>("Label5", nullptr, 120, 1830, 2280, 255),
                       QStringLiteral("Your Rating:"));
    cmbRating = addControl<ui::ComboBox>("cmbRating", nullptr, 2460, 1800, 975, 315);
    cmbRating->setStyle(ui::ComboBox::vbComboDropdown);
    cmbRating->AddItems({QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2"),
                         QStringLiteral("1"), QStringLiteral("0")});
    cmbRating->setText(QStringLiteral("5"));
    Label6 = captioned(
        addControl<ui::Label>("Label6", nullptr, 120, 2280, 8160, 1455),
        QStringLiteral(
            "Note: Channel URLs should not be the URL of the webpage where the stream appears.  It should be "
            "a link directly to the stream.  Acceptable formats are:ASF, ASX, WMA, WMV, WMX, WMVHD, and "
            "DVR-MS.  Some URLs may end in a / instead of a file type, in this case you should submit the "
            "URL and we will verify it.   If you cannot find a link to the stream, try using the "
            "stream-finder below.  All channels are subject to verification before they are available "
            "in an automatic update."));
    chkFavorites =
        captioned(addControl<ui::CheckBox>("chkFavorites", nullptr, 120, 3810, 8160, 315),
                  QStringLiteral("Add this channel to my favorites so I can start using it immediately"));
    chkFavorites->setValue(ui::vbChecked);
    cmdAdd = captioned(addControl<ui::CommandButton>("cmdAdd", nullptr, 6480, 4200, 1800, 375),
                       QStringLiteral("Submit Channel"));
    StatusBar1 = addControl<ui::StatusBar>("StatusBar1", nullptr, 0, kClientHeight - 330, kClientWidth, 330);
    StatusBar1->Panels(1)->setWidth(kClientWidth - 60);

    lblStream = captioned(addControl<ui::Label>("lblStream", nullptr, 120, 4800, 3000, 285),
                          QStringLiteral("Stream-Finder"));
    lblStream->setFontBold(true);
    lblStreamInfo = captioned(
        addControl<ui::Label>("lblStreamInfo", nullptr, 120, 5115, 8160, 435),
        QStringLiteral(
            "Enter the URL of a webpage that contains a stream and we will attempt to find the stream URL."));
    lblURL2 =
        captioned(addControl<ui::Label>("lblURL2", nullptr, 120, 5655, 555, 255), QStringLiteral("URL:"));
    txtURL2 = addControl<ui::TextBox>("txtURL2", nullptr, 720, 5625, 6840, 315);
    txtURL2->setText(QStringLiteral("http://"));
    cmdGo = captioned(addControl<ui::CommandButton>("cmdGo", nullptr, 7680, 5610, 600, 345),
                      QStringLiteral("Go"));
    lblResults = captioned(addControl<ui::Label>("lblResults", nullptr, 120, 6090, 4380, 255),
                           QStringLiteral("Search Results and Test Window:"));
    List1 = addControl<ui::ListBox>("List1", nullptr, 120, 6390, 4380, 2340);
    wmp1 = addControl<ui::MediaPlayer>("wmp1", nullptr, 4620, 6390, 3660, 2340);
    wmp1->setUiMode(QStringLiteral("mini"));

    Move(Left(), Top(), kClientWidth + DesignFrameWidth, kClientHeight + DesignFrameHeight);

    connect(cmdAdd, &ui::CommandButton::Click, this, &frmSubmit::cmdAdd_Click);
    connect(cmdGo, &ui::CommandButton::Click, this, &frmSubmit::cmdGo_Click);
    connect(List1, &ui::ListBox::Click, this, &frmSubmit::List1_Click);
}

void frmSubmit::Form_Load()
{
    ChangeLanguage(this, strLanguage);
}

void frmSubmit::List1_Click()
{
    const QString link = List1->Text();
    if (link.isEmpty())
        return;
    txtURL->setText(link);
    wmp1->setUrl(link);
}
