// The main window: category buttons, the four side panels, the player, the status bar,
// the channel-list editor frame and the menus. One .cpp per concern (Form1_*.cpp).
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/player/MediaPlayer.h"
#include "services/FavouritesStore.h"
#include "services/modM3U.h"

#include <QString>
#include <QStringList>

class ctxHookMenu;
class QLineEdit;
struct PlaylistImportWork;

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
    // A Data.txt line as the online update writes it: the id, the four fields without CR or
    // LF, "1/1/01" three times and the rating 5, each followed by "|".
    static QByteArray channelDataLine(qint64 id, QByteArrayView name, QByteArrayView category,
                                      QByteArrayView url, QByteArrayView types);

    // Playlist import (Form1_playlist.cpp): the channels of an M3U playlist appended to Data.txt.
    // The playlist is read on a thread of its own; Data.txt is written when it is done.
    void importPlaylistFile(const QString &path);
    // Downloads the playlist first, showing its progress on the status line.
    void importPlaylistAddress(const QString &address);
    // From the start of an import or an online update until its list is written and shown;
    // meanwhile every other writer of Data.txt is disabled.
    bool writingChannelList() const { return m_writingChannelList; }
    struct PlaylistMerge {
        QByteArray data; // Data.txt with the new lines; empty when nothing is new
        int added = 0;
        int alreadyThere = 0; // addresses in Data.txt or earlier in the playlist
        QString category;     // where most new channels went (with none new, most of the rest)
    };
    // The playlist's channels whose address Data.txt lacks, appended in the update's line shape
    // with ids after its largest; its own lines stay byte for byte.
    static PlaylistMerge mergePlaylist(const QByteArray &channelList, const QList<M3UChannel> &channels);

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

    // The channel search's field, kept over the bottom of ListView1 while a search is on.
    QLineEdit *txtFind = nullptr;

protected:
    // F11 that no control used takes the player to full screen while it shows.
    void keyPressEvent(QKeyEvent *event) override;

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

    // Channel catalogue. With everyType, the list holds every type of the category and the
    // type list stays as it is.
    void LoadChannels(bool everyType = false);
    // The status text of the last load, with `shown` channels showing.
    void showChannelCounts(qint32 shown);
    qint32 m_channelTotal = 0;
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
    // The volume and mute of the last run, and saving them when the user changes them.
    void connectPlaybackEvents();
    void WindowsMediaPlayer1_VolumeChosen();
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

    // Playlist import.
    void openPlaylistFile();
    void openPlaylistAddress();
    void finishPlaylistImport(PlaylistImportWork &work, const QString &source);
    void setWritingChannelList(bool writing);
    bool m_writingChannelList = false;

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

    // Channel search (Form1_search.cpp): Ctrl+F finds the category's channels by any part of
    // their names, whatever the type filter; Escape brings the list back as it was.
    void connectSearchEvents();
    void txtFind_Open();
    void txtFind_Change();
    // Ends a search under way; with restore, the list comes back as it was before it.
    void endChannelSearch(bool restore);
    void restoreChannelList();
    // The list holds every type of the category for the search.
    bool m_findEveryType = false;
    // The channel selected and the list's scroll when the search began.
    QString m_findSelectedName, m_findSelectedUrl;
    bool m_findHadSelection = false;
    int m_findScroll = 0;

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
