// The main window's design: every control at its design place, text and visibility, in
// design order, then the menus, then the event wiring.
#include "mainwindow/Form1.h"

#include "mainwindow/ctxHookMenu.h"
#include "platform/core/UserFolder.h"

#include <QGuiApplication>
#include <QScreen>

namespace
{

const QString picture(const char *name)
{
    return QStringLiteral(":/mainwindow/%1.png").arg(QLatin1String(name));
}

// The lists select whole rows and never edit their labels in place.
ui::ListView *report(ui::ListView *lv, const QList<QPair<QString, int>> &columns)
{
    lv->setFullRowSelect(true);
    lv->setLabelEdit(ui::ListView::lvwManual);
    for (const auto &column : columns)
        lv->ColumnHeaders()->Add(column.first, column.second);
    return lv;
}

ui::CommandButton *button(ui::CommandButton *b, const QString &caption, bool shown,
                          const QString &pictureResource = QString())
{
    b->setCaption(caption);
    if (!pictureResource.isEmpty())
        b->setPicture(pictureResource);
    b->setVisible(shown);
    return b;
}

template <class T> T *labelled(T *control, const QString &caption, bool shown = true)
{
    control->setCaption(caption);
    control->setVisible(shown);
    return control;
}

ui::TextBox *textBox(ui::TextBox *box, const QString &text, bool shown = true)
{
    box->setText(text);
    box->setVisible(shown);
    return box;
}

} // namespace

Form1::Form1() : ui::Form(QStringLiteral("Form1"))
{
    createControls();
    createMenus();
    ctxHookMenu1->decorate(this);
    connectEvents();

    // Design size: a 15240 x 10125 client area, centred on the screen.
    setWidth(15360);
    setHeight(11100);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        Move(std::max(0, ui::toTwips(area.center().x()) - Width() / 2),
             std::max(0, ui::toTwips(area.center().y()) - Height() / 2));
    }
}

void Form1::createControls()
{
    cmdTV = button(addControl<ui::CommandButton>("cmdTV", nullptr, 60, 60, 1335, 915), "TV/Video", true,
                   picture("btn_tv"));
    cmdRadio = button(addControl<ui::CommandButton>("cmdRadio", nullptr, 1440, 60, 1435, 915), "Radio/Music",
                      true, picture("btn_radio"));
    cmdYouTube = button(addControl<ui::CommandButton>("cmdYouTube", nullptr, 2880, 60, 1275, 915),
                        QStringLiteral("YouTube™"), true, picture("btn_youtube"));
    cmdFavorites = button(addControl<ui::CommandButton>("cmdFavorites", nullptr, 4200, 60, 1275, 915),
                          "Favorites", true, picture("btn_favorites"));
    cmdFiles = button(addControl<ui::CommandButton>("cmdFiles", nullptr, 5520, 60, 1275, 915), "My Files",
                      true, picture("btn_files"));
    // The start-up replaces this caption with the website's address.
    cmdWebsite = button(addControl<ui::CommandButton>("cmdWebsite", nullptr, 7560, 60, 2775, 915),
                        "Visit our website", true, picture("btn_website"));
    cmdSports = button(addControl<ui::CommandButton>("cmdSports", nullptr, 8100, 60, 1275, 915),
                       "Live Sports", false, picture("btn_sports"));
    cmdExtras = button(addControl<ui::CommandButton>("cmdExtras", nullptr, 7980, 60, 1275, 915), "Extras",
                       false, picture("btn_extras"));
    cmdXXX = button(addControl<ui::CommandButton>("cmdXXX", nullptr, 9300, 60, 1275, 915), "Adult", false,
                    picture("btn_adult"));
    cmdVideo = button(addControl<ui::CommandButton>("cmdVideo", nullptr, 9900, 0, 1275, 915), "Video", false,
                      picture("btn_video"));
    Command3 =
        button(addControl<ui::CommandButton>("Command3", nullptr, 2340, 360, 1215, 435), "Command3", false);

    Frame1 = labelled(addControl<ui::Frame>("Frame1", nullptr, 60, 1020, 5235, 8175), "Channels");
    Frame3 = labelled(addControl<ui::Frame>("Frame3", nullptr, 60, 1020, 5235, 6675), "Favorites", false);
    Frame4 = labelled(addControl<ui::Frame>("Frame4", nullptr, 180, 1020, 5235, 6735), "My Files", false);
    Frame5 =
        labelled(addControl<ui::Frame>("Frame5", nullptr, 60, 1020, 5235, 8175), QStringLiteral("YouTube™"));
    Frame2 =
        labelled(addControl<ui::Frame>("Frame2", nullptr, 5520, 2100, 9675, 7095), "List Editing", false);

    WindowsMediaPlayer1 = addControl<ui::MediaPlayer>("WindowsMediaPlayer1", nullptr, 5520, 1020, 9570, 6705);
    WindowsMediaPlayer1->setUiMode(QStringLiteral("mini"));
    wbyoutube = addControl<ui::WebBrowser>("wbyoutube", nullptr, 15600, 3540, 2475, 1995);
    wbBanner = addControl<ui::WebBrowser>("wbBanner", nullptr, 5520, 1020, 7335, 945);
    wbBanner->setVisible(false);
    wbPicture = addControl<ui::PictureBox>("wbPicture", nullptr, 12600, 1020, 330, 920);
    wbPicture->setVisible(false);
    Line2 = addControl<ui::Line>("Line2", wbPicture, 150, 0, 0, 920);
    imgOffline = addControl<ui::Image>("imgOffline", nullptr, 11340, 120, 6000, 3000);
    imgOffline->setPicture(picture("offline"));
    imgOffline->setStretch(true);
    imgOffline->setVisible(false);
    StatusBar1 = addControl<ui::StatusBar>("StatusBar1", nullptr, 0, 9810, 15240, 315);
    labelled(addControl<ui::SkinLabel>("SkinLabel1", nullptr, 12900, 480, 375, 255, 0), "Windowed Label",
             false);

    ctxHookMenu1 = addControl<ctxHookMenu>("ctxHookMenu1", nullptr, 0, 0, 0, 0);
    const struct {
        const char *key;
        const char *picture;
    } menuPictures[] = {
        {"#mnuCatItem:0", "btn_tv"},         {"#mnuCatItem:1", "btn_radio"},
        {"#mnuCatItem:2", "btn_video"},      {"#mnuCatItem:3", "btn_favorites"},
        {"#mnuCatItem:4", "btn_files"},      {"#mnuCatItem:5", "btn_sports"},
        {"#mnuCatItem:6", "btn_extras"},     {"#mnuCatItem:7", "btn_adult"},
        {"#mnuCatItem:8", "btn_youtube"},    {"#mnuUpdateItem:0", "btn_website"},
        {"#mnuActionItem:0", "btn_actions"}, {"#mnuAction2Item:0", "btn_actions"},
    };
    for (const auto &entry : menuPictures)
        ctxHookMenu1->setPicture(QLatin1String(entry.key), picture(entry.picture));

    createChannelPanel();
    createFavoritesPanel();
    createFilesPanel();
    createYouTubePanel();
    createEditorPanel();

    // The editor sits over the player and the YouTube pane, or no one could use it; the
    // offline picture stays above everything on the player's area.
    Frame2->stackUnder(imgOffline);
}

void Form1::createChannelPanel()
{
    lblCountry = labelled(addControl<ui::Label>("lblCountry", Frame1, 180, 300, 795, 255), "Type:");
    Combo1 = addControl<ui::ComboBox>("Combo1", Frame1, 1020, 240, 2475, 315);
    Combo1->setStyle(ui::ComboBox::vbComboDropdown);
    Combo1->setText("USA");
    lblSort = labelled(addControl<ui::Label>("lblSort", Frame1, 180, 660, 795, 255), "Sort by:");
    cmbSortTV = addControl<ui::ComboBox>("cmbSortTV", Frame1, 1020, 600, 2475, 315);
    cmbSortTV->setStyle(ui::ComboBox::vbComboDropdown);
    cmbSortTV->AddItems({"Channel", "Category", "Type", "Rating", "Favorites"});
    cmbSortTV->setText("Rating");
    cmdFav = button(addControl<ui::CommandButton>("cmdFav", Frame1, 3540, 180, 1575, 675), "Channel Actions",
                    true, picture("btn_actions"));
    ListView1 =
        report(addControl<ui::ListView>("ListView1", Frame1, 180, 960, 4935, 3795),
               {{"Channel", 2800}, {"Category", 1440}, {"Type", 1440}, {"Rating", 0}, {"Favorites", 0}});
    labelled(addControl<ui::SkinLabel>("SkinLabel2", Frame1, 480, 5220, 315, 195, 0), "Windowed Label",
             false);
}

void Form1::createFavoritesPanel()
{
    Command1 = button(addControl<ui::CommandButton>("Command1", Frame3, 2760, 180, 2355, 615),
                      "Remove from Favorites", true, picture("btn_remove"));
    // Narrower than the channel list's columns, so that the favourites never scroll sideways.
    ListView2 = report(addControl<ui::ListView>("ListView2", Frame3, 180, 900, 4935, 3795),
                       {{"Channel", 2400}, {"Category", 1100}, {"Type", 1100}});
    labelled(addControl<ui::SkinLabel>("SkinLabel3", Frame3, 900, 5340, 255, 135, 0), "Windowed Label",
             false);
}

void Form1::createFilesPanel()
{
    Drive1 = addControl<ui::DriveListBox>("Drive1", Frame4, 120, 240, 4995, 315);
    Dir1 = addControl<ui::DirListBox>("Dir1", Frame4, 120, 660, 4995, 2340);
    File1 = addControl<ui::FileListBox>("File1", Frame4, 120, 3060, 4995, 3405);
    // The design's media types, then the common ones the player also plays.
    File1->setPattern(QStringLiteral(
        "*.asf;*.wma;*.wmv;*.wm;*.wax;*.wvx;*.wmx;*.wpl;*.dvr-ms;*.wmd;*.avi;*.mpg;*.mpeg;*.m1v;*.mp2;*.mp3;*"
        ".mpa;"
        "*.mpe;*.mpv2;*.m3u;*.mid;*.midi;*.rmi;*.aif;*.aifc;*.aiff;*.au;*.snd;*.wav;*.cda;*.ivf;*.mov;*.qt;"
        "*.mp4;*.m4v;*.m4a;*.mkv;*.mka;*.webm;*.ogg;*.ogv;*.oga;*.opus;*.flac;*.aac;*.ts;*.m2ts;*.mts;*.3gp;"
        "*.flv;*.m3u8;*.pls"));
    labelled(addControl<ui::SkinLabel>("SkinLabel4", Frame4, 960, 660, 255, 315, 0), "Windowed Label", false);
}

void Form1::createYouTubePanel()
{
    Label9 = labelled(addControl<ui::Label>("Label9", Frame5, 180, 240, 2115, 255), "Type:");
    Combo3 = addControl<ui::ComboBox>("Combo3", Frame5, 180, 480, 3315, 315);
    Combo3->setStyle(ui::ComboBox::vbComboDropdown);
    Combo3->AddItems({"Featured", "Search YouTube Videos", "Most Viewed", "Most Discussed", "Top Favorites",
                      "Autos and Vehicles", "Comedy", "Education", "Entertainment", "Film and Animation",
                      "Howto and Style", "Music", "News and Politics", "People and Blogs", "Pets and Animals",
                      "Science and Technology", "Sports", "Travel and Events"});
    Combo3->setText("Featured");
    txtSearch = textBox(addControl<ui::TextBox>("txtSearch", Frame5, 180, 480, 2235, 315),
                        "Enter search here", false);
    Command4 = button(addControl<ui::CommandButton>("Command4", Frame5, 3540, 480, 1575, 615),
                      "Channel Actions", true, picture("btn_actions"));
    Combo4 = addControl<ui::ComboBox>("Combo4", Frame5, 180, 840, 3315, 315);
    Combo4->setStyle(ui::ComboBox::vbComboDropdown);
    Combo4->AddItems({"Australia", "Brazil", "Canada", "France", "Germany", "Hong Kong", "Ireland", "Italy",
                      "Japan", "Mexico", "Netherlands", "New Zealand", "Poland", "Russia", "Spain", "Taiwan",
                      "United Kingdom", "United States"});
    Combo4->setText("United States");
    txtYouTube = textBox(addControl<ui::TextBox>("txtYouTube", Frame5, 180, 840, 2295, 315),
                         "enter search query", false);
    cmdSearch =
        button(addControl<ui::CommandButton>("cmdSearch", Frame5, 2520, 840, 975, 315), "Search", false);
    ListView3 =
        report(addControl<ui::ListView>("ListView3", Frame5, 180, 1140, 4935, 3555), {{"Channel", 4600}});
    txtStatus = textBox(addControl<ui::TextBox>("txtStatus", Frame5, 180, 7800, 4875, 285), QString(), false);
    labelled(addControl<ui::SkinLabel>("SkinLabel2", Frame5, 480, 5220, 315, 195, 1), "Windowed Label",
             false);
}

void Form1::createEditorPanel()
{
    const QStringList categories = {"TV", "Radio", "Video", "XXX"};
    Command2 = button(addControl<ui::CommandButton>("Command2", Frame2, 9360, 0, 315, 315), "X", true);
    Label5 = labelled(
        addControl<ui::Label>("Label5", Frame2, 180, 300, 9075, 855),
        QStringLiteral(
            "First clear the existing list.  Then click Decrypt and Load.  This will load ALL categories "
            "(TV, Radio, Video and XXX).  Edit the list.  When you are done click Encrypt and Save.  "
            "Data.htm will be saved in your ChannelDeck folder (%1).  Upload it to your webserver and click "
            "File > Download.  This will update your list within the program.")
            .arg(platform::userFolder()));
    Label5->setWordWrap(true);
    Clear =
        button(addControl<ui::CommandButton>("Clear", Frame2, 180, 1140, 1875, 675), "Clear the list", true);
    doLoad = button(addControl<ui::CommandButton>("doLoad", Frame2, 2100, 1140, 2055, 675),
                    "Decrypt and Load", true);
    save = button(addControl<ui::CommandButton>("save", Frame2, 4200, 1140, 1995, 675), "Encrypt and Save",
                  true);
    Text5 = textBox(addControl<ui::TextBox>("Text5", Frame2, 6240, 1500, 1215, 315), "key");
    chkLoad = labelled(addControl<ui::CheckBox>("chkLoad", Frame2, 180, 1860, 3375, 195),
                       "Don't Load Video While Editing");
    DELChannel = button(addControl<ui::CommandButton>("DELChannel", Frame2, 180, 2160, 2715, 615),
                        "Delete Selected Channel", true);
    Label6 = labelled(addControl<ui::Label>("Label6", Frame2, 240, 2880, 3075, 255), "Add an entry:");
    txtAddName = textBox(addControl<ui::TextBox>("txtAddName", Frame2, 240, 3120, 2235, 285), "Name");
    cmbAddCategory = addControl<ui::ComboBox>("cmbAddCategory", Frame2, 2520, 3120, 1515, 315);
    cmbAddCategory->setStyle(ui::ComboBox::vbComboDropdown);
    cmbAddCategory->AddItems(categories);
    cmbAddCategory->setText("TV");
    txtAddType =
        textBox(addControl<ui::TextBox>("txtAddType", Frame2, 4080, 3120, 2235, 285), "Language/Type");
    txtAddURL = textBox(addControl<ui::TextBox>("txtAddURL", Frame2, 6420, 3120, 1875, 285), "URL");
    cmdAdd = button(addControl<ui::CommandButton>("cmdAdd", Frame2, 8400, 3120, 1035, 375), "Add", true);
    Label7 = labelled(addControl<ui::Label>("Label7", Frame2, 240, 3480, 3075, 255), "Edit selected entry:");
    txtEditName = textBox(addControl<ui::TextBox>("txtEditName", Frame2, 240, 3720, 2235, 285), "Name");
    cmbEditCateogy = addControl<ui::ComboBox>("cmbEditCateogy", Frame2, 2520, 3720, 1515, 315);
    cmbEditCateogy->setStyle(ui::ComboBox::vbComboDropdown);
    cmbEditCateogy->AddItems(categories);
    cmbEditCateogy->setText("TV");
    txtEditType =
        textBox(addControl<ui::TextBox>("txtEditType", Frame2, 4080, 3720, 2235, 285), "Language/Type");
    txtEditURL = textBox(addControl<ui::TextBox>("txtEditURL", Frame2, 6420, 3720, 1875, 285), "URL");
    cmdEdit = button(addControl<ui::CommandButton>("cmdEdit", Frame2, 8400, 3720, 1035, 375), "OK", true);
    Label4 = labelled(addControl<ui::Label>("Label4", Frame2, 240, 4080, 3075, 255), "Find and replace:");
    const QString gap(56, QLatin1Char(' '));
    Label3 = labelled(addControl<ui::Label>("Label3", Frame2, 240, 4440, 8115, 255),
                      "Replace" + gap + "with" + gap + "in column");
    // The blanks place the words between the find, replace and column boxes in the designer's font.
    Label3->setWordsBetweenCovers(true);
    Text2 = textBox(addControl<ui::TextBox>("Text2", Frame2, 900, 4380, 2355, 285), QString());
    Text3 = textBox(addControl<ui::TextBox>("Text3", Frame2, 3720, 4380, 2415, 315), QString());
    Combo2 = addControl<ui::ComboBox>("Combo2", Frame2, 6900, 4380, 1395, 315);
    Combo2->setStyle(ui::ComboBox::vbComboDropdown);
    Combo2->AddItems({"Channel", "Language"});
    Combo2->setText("Channel");
    cmdReplace =
        button(addControl<ui::CommandButton>("cmdReplace", Frame2, 8400, 4380, 1035, 375), "Replace", true);
    Label8 =
        labelled(addControl<ui::Label>("Label8", Frame2, 240, 4740, 3075, 255), "Data.htm contents:", false);
    txtData = textBox(addControl<ui::TextBox>("txtData", Frame2, 240, 5040, 9195, 1935), QString(), false);
    txtData->setMultiLine(true);
    cmdDupes = button(addControl<ui::CommandButton>("cmdDupes", Frame2, 4380, 6540, 2355, 555),
                      "Remove Duplicates", false);
    cmdMusic =
        button(addControl<ui::CommandButton>("cmdMusic", Frame2, 2700, 6720, 1335, 555), "Music Type", false);
    Text4 = textBox(addControl<ui::TextBox>("Text4", Frame2, 180, 6780, 2295, 375), QString(), false);
    cmdLoad2 =
        button(addControl<ui::CommandButton>("cmdLoad2", Frame2, 13020, 6180, 1335, 675), "Load2", false);
    Label1 = labelled(addControl<ui::Label>("Label1", Frame2, 9480, 6960, 735, 255), "File", false);
    Text1 = textBox(addControl<ui::TextBox>("Text1", Frame2, 10140, 6840, 2115, 315), "Text1", false);
    Label2 = labelled(addControl<ui::Label>("Label2", Frame2, 9420, 7440, 915, 375), "Type:", false);
    txtType = textBox(addControl<ui::TextBox>("txtType", Frame2, 10140, 7440, 2235, 315), "TV", false);
    Recommended = button(addControl<ui::CommandButton>("Recommended", Frame2, 15900, 7080, 1395, 615),
                         "Recommended", false);
}

void Form1::createMenus()
{
    ui::Menu *mnuFile = addMenu("mnuFile", "File");
    addMenu("mnuFileItem", "Open Playlist File...", mnuFile, 0);
    addMenu("mnuFileItem", "Open Playlist Address...", mnuFile, 1);
    addMenu("mnuFileItem", "Exit", mnuFile, 2);

    ui::Menu *mnuCat = addMenu("mnuCat", "Categories");
    const struct {
        const char *caption;
        bool shown;
    } catItems[] = {
        {"TV/Video", true},  {"Radio/Music", true}, {"Video", false},
        {"Favorites", true}, {"My Files", true},    {"Live Sports", false},
        {"Extras", false},   {"Adult", false},      {"YouTube\u2122", true},
    };
    for (int i = 0; i < int(std::size(catItems)); ++i)
        addMenu("mnuCatItem", QString::fromUtf8(catItems[i].caption), mnuCat, i)
            ->setVisible(catItems[i].shown);

    ui::Menu *mnuUpdate = addMenu("mnuUpdate", "Update Channels");
    addMenu("mnuUpdateItem", "Update Channels Online", mnuUpdate, 0);
    addMenu("mnuUpdateItem", "Add Channels", mnuUpdate, 1)->setVisible(false);

    addMenu("mnuLanguageItem", "Change Language", addMenu("mnuLanguages", "Languages"), 0);
    addMenu("mnuHelpItem", "View Help", addMenu("mnuHelp", "Help"), 0);
    addMenu("mnuAboutItem", "About this software", addMenu("mnuAbout", "About"), 0);

    // Popups of the "Channel Actions" buttons; hidden, so the menu bar never shows them.
    ui::Menu *mnuActions = addMenu("mnuActions", "Actions");
    mnuActions->setVisible(false);
    const char *actionItems[] = {"Add to Favorites",       "-",
                                 "Rate 5 Stars - Love it", "Rate 4 Stars - Like it a lot",
                                 "Rate 3 Stars - It's ok", "Rate 2 Stars - Don't like it",
                                 "Rate 1 Stars - Hate it"};
    for (int i = 0; i < int(std::size(actionItems)); ++i)
        addMenu("mnuActionItem", QLatin1String(actionItems[i]), mnuActions, i)->setVisible(i == 0);

    ui::Menu *mnuActions2 = addMenu("mnuActions2", "Actions2");
    mnuActions2->setVisible(false);
    addMenu("mnuAction2Item", "Add to Favorites", mnuActions2, 0);
}

void Form1::connectEvents()
{
    connect(cmdTV, &ui::CommandButton::Click, this, &Form1::cmdTV_Click);
    connect(cmdRadio, &ui::CommandButton::Click, this, &Form1::cmdRadio_Click);
    connect(cmdVideo, &ui::CommandButton::Click, this, &Form1::cmdVideo_Click);
    connect(cmdXXX, &ui::CommandButton::Click, this, &Form1::cmdXXX_Click);
    connect(cmdSports, &ui::CommandButton::Click, this, &Form1::cmdSports_Click);
    connect(cmdExtras, &ui::CommandButton::Click, this, &Form1::cmdExtras_Click);
    connect(Combo1, &ui::ComboBox::Click, this, &Form1::Combo1_Click);
    connect(cmbSortTV, &ui::ComboBox::Click, this, &Form1::cmbSortTV_Click);
    connect(ListView1, &ui::ListView::ColumnClick, this, &Form1::ListView1_ColumnClick);
    connect(ListView1, &ui::ListView::Click, this, &Form1::ListView1_Click);
    connect(imgOffline, &ui::Image::Click, this, &Form1::imgOffline_Click);
    connectPlaybackEvents();
    connect(txtStatus, &ui::TextBox::Change, this, &Form1::txtStatus_Change);
    connectFavoritesEvents();
    connectYouTubeEvents();
    connectEditorEvents();
    connectFilesEvents();
    connectMenuEvents();
    connectSearchEvents();
}
