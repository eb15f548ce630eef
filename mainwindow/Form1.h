// The main window: category buttons, the four side panels, the player, the status bar,
// the channel-list editor frame and the menus. One .cpp per concern (Form1_*.cpp).
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/player/MediaPlayer.h"
#include "services/FavouritesStore.h"

#include <QString>
#include <QStringList>

class ctxHookMenu;

class Form1 : public ui::Form, public FavouritesStore
{
    Q_OBJECT

public:
    Form1();

    // Start-up (Form1_startup.cpp) and lifecycle (Form1_lifecycle.cpp).
    void Form_Load() override;
    void Form_Resize() override;
    void Form_QueryUnload(int &Cancel, int UnloadMode) override;
    void Form_Unload(int &Cancel) override;

    // Channel catalogue (Form1_catalogue.cpp). The category buttons are called by the
    // start-up, the menus and the online update too.
    Q_INVOKABLE void cmdTV_Click();
    Q_INVOKABLE void cmdRadio_Click();
    Q_INVOKABLE void cmdVideo_Click();
    Q_INVOKABLE void cmdXXX_Click();
    Q_INVOKABLE void cmdSports_Click();
    Q_INVOKABLE void cmdExtras_Click();
    // Rating as shown in the list: one digit, a point and one digit.
    static QString formatRating(QStringView s);
    static QString formatRating(const QString &s) { return formatRating(QStringView(s)); }
    // Left-pads with "0" to six characters, so the hidden column sorts as text.
    static QString padSixDigits(QStringView s);
    static QString padSixDigits(const QString &s) { return padSixDigits(QStringView(s)); }
    // In-place iterative quicksort; upper < 0 means the last index.
    static void quickSortValues(QStringList &values, qsizetype upper = -1, bool descending = false);

    // Playback (Form1_playback.cpp).
    // False when the probe reply holds one of the error words.
    static bool isStreamOnline(const QString &probe);

    // Favourites (Form1_favourites.cpp); the submission window adds to them as well.
    void addFavorite(const FavoriteRecord &favorite) override;
    void saveFavorites() override;
    void loadFavorites();
    // The video id of a favourite's tag: the text between its first and second "=".
    static QString favoriteVideoId(const QString &tag);

    // YouTube view (Form1_youtube.cpp).
    Q_INVOKABLE void cmdYouTube_Click();
    void showYouTubeVideo(const QString &title, const QString &videoId);
    // Adds the video links of one result page to ListView3.
    void ParseYouTubePage(const QByteArray &strPage);

    // Online update (Form1_update.cpp).
    bool updateChannelsOnline();
    // Replaces Data.txt with the guide's records and answers how many; with 0 Data.txt is
    // left as it was.
    int extractNewDefs(QByteArray &strDefs);
    // The date kept in date.dat.
    QString getINI();
    void makeINI(QString &strDate);

    // Local media files (Form1_files.cpp).
    // Start-up restore of the drive and folder last chosen in the My Files panel.
    void restoreFileBrowser();

    // Menus and view switches (Form1_menus.cpp).
    Q_INVOKABLE void cmdFavorites_Click();
    Q_INVOKABLE void cmdFiles_Click();

    // Current category and filter of the channel list.
    QString strCategory;
    QString strTypeFilter;
    QString strReloadTypes = QStringLiteral("False");
    int intTypeCount = 0;
    bool blnAdmin = false;
    QString strYouTubeLocale;

    // Controls placed directly on the window.
    ui::CommandButton *cmdTV, *cmdRadio, *cmdYouTube, *cmdFavorites, *cmdFiles, *cmdWebsite;
    ui::CommandButton *cmdSports, *cmdExtras, *cmdXXX, *cmdVideo, *Command3;
    ui::Frame *Frame1, *Frame3, *Frame4, *Frame5, *Frame2;
    ui::MediaPlayer *WindowsMediaPlayer1;
    ui::WebBrowser *wbyoutube, *wbBanner;
    ui::PictureBox *wbPicture;
    ui::Line *Line2;
    ui::Image *imgOffline;
    ui::StatusBar *StatusBar1;
    ctxHookMenu *ctxHookMenu1;

    // Channels panel.
    ui::Label *lblCountry, *lblSort;
    ui::ComboBox *Combo1, *cmbSortTV;
    ui::CommandButton *cmdFav;
    ui::ListView *ListView1;

    // Favourites panel.
    ui::CommandButton *Command1;
    ui::ListView *ListView2;

    // My Files panel.
    ui::DriveListBox *Drive1;
    ui::DirListBox *Dir1;
    ui::FileListBox *File1;

    // YouTube panel.
    ui::Label *Label9;
    ui::ComboBox *Combo3, *Combo4;
    ui::TextBox *txtSearch, *txtYouTube, *txtStatus;
    ui::CommandButton *Command4, *cmdSearch;
    ui::ListView *ListView3;

    // Channel-list editor.
    ui::CommandButton *Command2, *Clear, *doLoad, *save, *DELChannel, *cmdAdd, *cmdEdit, *cmdReplace;
    ui::CommandButton *cmdDupes, *cmdMusic, *cmdLoad2, *Recommended;
    ui::Label *Label5, *Label6, *Label7, *Label4, *Label3, *Label8, *Label1, *Label2;
    ui::TextBox *Text5, *txtAddName, *txtAddType, *txtAddURL, *txtEditName, *txtEditType, *txtEditURL;
    ui::TextBox *Text2, *Text3, *txtData, *Text4, *Text1, *txtType;
    ui::ComboBox *cmbAddCategory, *cmbEditCateogy, *Combo2;
    ui::CheckBox *chkLoad;

private:
    // Building the window (Form1.cpp); each concern connects its own control events.
    void createControls();
    void createChannelPanel();
    void createFavoritesPanel();
    void createFilesPanel();
    void createYouTubePanel();
    void createEditorPanel();
    void createMenus();
    void connectEvents();

    // Layout and status line (Form1_layout.cpp, Form1_lifecycle.cpp).
    void resizeControls();
    void fitFindReplaceRow();
    void txtStatus_Change();

    // Channel catalogue.
    void LoadChannels();
    // Steps shared by the four category handlers.
    void showCategory(const QString &category, const QString &settingKey);
    // Shows one of the panels Frame1, Frame3, Frame4, Frame5 and hides the others; the
    // YouTube panel brings its browser pane, every other one the player.
    void showPanel(ui::Frame *panel);
    void Combo1_Click();
    void cmbSortTV_Click();
    void ListView1_ColumnClick(int column);

    // Playback.
    void ListView1_Click();
    void imgOffline_Click();
    // Plays url when its probe finds it online, or shows the offline picture; a later call
    // gives an earlier probe still under way up, and so does Stop. `name` is what the user
    // clicked, which the player shows for sound alone.
    void playIfOnline(const QString &url, const QString &name);
    quint64 m_probeTicket = 0;
    // Every address the window itself hands to the player goes through here.
    void playUrl(const QString &url);
    // The player and the video site's pane share one place: shows the one, hides the other.
    void showPlayer(bool shown);
    void WindowsMediaPlayer1_PlayStateChange(int NewState);
    int m_playState = ui::MediaPlayer::wmppsUndefined;

    // Favourites.
    void connectFavoritesEvents();
    void cmdFav_Click();
    void Command4_Click();
    void mnuActionItem_Click(int Index);
    void mnuAction2Item_Click(int Index);
    void DoChannelAction(const QString &strAction);
    void Command1_Click();
    void ListView2_Click();
    void ListView2_ColumnClick(int column);

    // YouTube view.
    void connectYouTubeEvents();
    void Combo3_Click();
    void Combo4_Click();
    void cmdSearch_Click();
    void txtYouTube_KeyPress(int &KeyAscii);
    void ListView3_Click();
    void LoadYouTubeList();
    // Counts the loads of the result list; a newer load stops the one under way.
    quint64 m_youTubeLoads = 0;

    // Online update.
    Q_INVOKABLE void removeChannelsById(const QString &ids);

    // Channel-list editor (Form1_editor.cpp).
    void connectEditorEvents();
    void Clear_Click();
    void doLoad_Click();
    void save_Click();
    void DELChannel_Click();
    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdReplace_Click();
    void Command2_Click();
    void cmdMusic_Click();
    void cmdDupes_Click();
    void cmdLoad2_Click();
    void Recommended_Click();
    void Text2_KeyPress(int &KeyAscii);
    void Text3_KeyPress(int &KeyAscii);
    void Text4_KeyPress(int &KeyAscii);

    // Local media files.
    void connectFilesEvents();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();

    // Menus and view switches.
    void connectMenuEvents();
    void mnuFileItem_Click(int Index);
    void mnuCatItem_Click(int Index);
    void mnuUpdateItem_Click(int Index);
    void mnuLanguageItem_Click(int Index);
    void mnuHelpItem_Click(int Index);
    // Runs the help launcher; true when a viewer took the help file. With reportNoViewer the
    // user hears when the file is there but no viewer could open it.
    bool runHelpLauncher(bool reportNoViewer);
    void mnuAboutItem_Click(int Index);
    void cmdWebsite_Click();
    void Command3_Click();
};
