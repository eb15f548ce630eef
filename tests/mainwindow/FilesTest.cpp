// The My Files panel: the media pattern of the file list, playing a chosen file, the
// "Drive" and "Dir" settings, and their restore at start-up.
#include "tests/mainwindow/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

using namespace mwtest;

namespace
{

class FilesTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        writeData({channelLine("Alpha TV", "TV", "English")});
        form = loadForm1();
        ASSERT_NE(form, nullptr);
        media = env->root() + "/media";
        for (const char *name : {"Song.MP3", "clip.wmv", "notes.txt", "tune.Mp3", "sound.wav", ".hidden.mp3",
                                 "list.m3u", "movie.mov", "picture.jpg"})
            env->writeFile(media + "/" + QLatin1String(name), "not really media");
        QDir().mkpath(media + "/Albums");
    }
    void TearDown() override
    {
        if (form)
            form->WindowsMediaPlayer1->close();
        MainWindowTest::TearDown();
    }

    static QStringList files(ui::FileListBox *list)
    {
        QStringList names;
        for (int i = 0; i < list->ListCount(); ++i)
            names.append(list->List(i));
        return names;
    }
    // A drive of the machine other than the one shown, or empty when there is only one.
    QString otherDrive() const
    {
        for (int i = 0; i < form->Drive1->ListCount(); ++i) {
            const QString drive = form->Drive1->List(i);
            if (drive != form->Drive1->Drive() && QDir(drive).isReadable())
                return drive;
        }
        return {};
    }

    Form1 *form = nullptr;
    QString media;
};

} // namespace

TEST_F(FilesTest, ChoosingAFolderSavesItAndListsOnlyMediaFiles)
{
    ASSERT_TRUE(form->Dir1->setPath(media));
    EXPECT_EQ(setting("Dir"), media);
    EXPECT_EQ(form->File1->Path(), media);
    EXPECT_EQ(files(form->File1),
              QStringList({"clip.wmv", "list.m3u", "movie.mov", "Song.MP3", "sound.wav", "tune.Mp3"}));

    // A new file shows after the next change of folder.
    env->writeFile(media + "/Albums/late.wma", "x");
    ASSERT_TRUE(form->Dir1->setPath(media + "/Albums"));
    EXPECT_EQ(setting("Dir"), media + "/Albums");
    EXPECT_EQ(files(form->File1), QStringList({"late.wma"}));
}

TEST_F(FilesTest, TheCommonTypesThePlayerPlaysAreListedAndTextFilesAreNot)
{
    const QString folder = env->root() + "/more";
    const QStringList added = {"a.mp4", "b.m4v", "c.M4A",  "d.mkv",  "e.mka", "f.webm", "g.ogg",
                               "h.ogv", "i.oga", "j.opus", "k.FLAC", "l.aac", "m.ts",   "n.m2ts",
                               "o.mts", "p.3gp", "q.flv",  "r.m3u8", "s.pls"};
    for (const QString &name : added)
        env->writeFile(folder + "/" + name, "x");
    for (const char *name :
         {"readme.txt", "notes.TXT", "subs.srt", "cover.jpg", "page.html", "mp4", "x.mp4.part"})
        env->writeFile(folder + "/" + QLatin1String(name), "x");
    ASSERT_TRUE(form->Dir1->setPath(folder));
    EXPECT_EQ(files(form->File1).join(' ').toStdString(), added.join(' ').toStdString());
    // The design's types are all still there, first.
    EXPECT_EQ(
        form->File1->Pattern().split(';').mid(0, 33).join(';'),
        "*.asf;*.wma;*.wmv;*.wm;*.wax;*.wvx;*.wmx;*.wpl;*.dvr-ms;*.wmd;*.avi;*.mpg;*.mpeg;*.m1v;*.mp2;*.mp3;"
        "*.mpa;*.mpe;*.mpv2;*.m3u;*.mid;*.midi;*.rmi;*.aif;*.aifc;*.aiff;*.au;*.snd;*.wav;*.cda;*.ivf;*.mov;*"
        ".qt");
}

TEST_F(FilesTest, ShowingThePanelAgainListsWhatTheFolderHoldsNowAndKeepsThePlaceAndPick)
{
    form->Show();
    form->cmdFiles_Click();
    ASSERT_TRUE(form->Dir1->setPath(media));
    const QString drive = form->Drive1->Drive();
    form->File1->setFileName("sound.wav");
    ASSERT_EQ(form->File1->FileName(), "sound.wav");
    form->Dir1->setCurrentRow(form->Dir1->count() - 1); // the subfolder "Albums", picked not opened

    form->cmdTV_Click();
    env->writeFile(media + "/copied.mp4", "x");
    QFile::remove(media + "/clip.wmv");
    QDir().mkpath(media + "/New Folder");
    // Hidden, the lists are left as they were.
    EXPECT_TRUE(files(form->File1).contains("clip.wmv"));

    form->cmdFiles_Click();
    EXPECT_EQ(files(form->File1).join(' ').toStdString(),
              "copied.mp4 list.m3u movie.mov Song.MP3 sound.wav tune.Mp3");
    EXPECT_EQ(form->File1->FileName().toStdString(), "sound.wav");
    EXPECT_EQ(form->Dir1->List(form->Dir1->ListCount() - 1).toStdString(),
              (media + "/New Folder").toStdString());
    EXPECT_EQ(form->Dir1->List(form->Dir1->ListIndex()).toStdString(), (media + "/Albums").toStdString());
    EXPECT_EQ(form->Dir1->Path(), media);
    EXPECT_EQ(form->File1->Path(), media);
    EXPECT_EQ(form->Drive1->Drive(), drive);
    EXPECT_EQ(setting("Dir"), media);
}

TEST_F(FilesTest, ClickingAFilePlaysItsFullPath)
{
    ASSERT_TRUE(form->Dir1->setPath(media));
    form->WindowsMediaPlayer1->setUrl("http://127.0.0.1:9/stream");

    form->File1->setFileName("Song.MP3");
    emit form->File1->Click();
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), media + "/Song.MP3");

    // A click that picked nothing leaves the player alone.
    form->File1->setCurrentRow(-1);
    emit form->File1->Click();
    EXPECT_EQ(form->WindowsMediaPlayer1->url(), media + "/Song.MP3");
}

TEST_F(FilesTest, ChoosingAnotherDriveMovesBothListsAndSavesBoth)
{
    const QString drive = otherDrive();
    if (drive.isEmpty())
        GTEST_SKIP() << "this machine shows a single drive";
    const int index = form->Drive1->findText(drive);
    form->Drive1->setListIndex(index);

    EXPECT_EQ(form->Drive1->Drive(), drive);
    EXPECT_EQ(form->Dir1->Path(), QDir::cleanPath(drive));
    EXPECT_EQ(form->File1->Path(), QDir::cleanPath(drive));
    EXPECT_EQ(setting("Drive"), drive);
    EXPECT_EQ(setting("Dir"), QDir::cleanPath(drive));
}

TEST_F(FilesTest, RestoreBringsBackTheSavedDriveAndFolder)
{
    const QString mediaDrive = QStorageInfo(media).rootPath();
    // Start elsewhere, so that the restore has to change the drive first.
    if (const QString drive = otherDrive(); !drive.isEmpty() && drive != mediaDrive)
        form->Drive1->setListIndex(form->Drive1->findText(drive));
    putSetting("Drive", mediaDrive);
    putSetting("Dir", media);

    form->restoreFileBrowser();
    EXPECT_EQ(form->Drive1->Drive(), mediaDrive);
    EXPECT_EQ(form->Dir1->Path(), media);
    EXPECT_EQ(form->File1->Path(), media);
    EXPECT_TRUE(files(form->File1).contains("Song.MP3"));
    // The drive change on the way does not replace the folder that was restored.
    EXPECT_EQ(setting("Dir"), media);
    EXPECT_EQ(setting("Drive"), mediaDrive);
}

TEST_F(FilesTest, RestoreWithoutOrWithStaleSettingsKeepsTheListsAsTheyAre)
{
    const QString drive = form->Drive1->Drive();
    const QString folder = form->Dir1->Path();
    const QString shown = form->File1->Path();

    form->restoreFileBrowser();
    EXPECT_EQ(form->Drive1->Drive(), drive);
    EXPECT_EQ(form->Dir1->Path(), folder);
    EXPECT_EQ(form->File1->Path(), shown);
    EXPECT_EQ(setting("Dir"), "<none>");
    EXPECT_EQ(setting("Drive"), "<none>");

    putSetting("Drive", env->root() + "/gone");
    putSetting("Dir", env->root() + "/gone/folder");
    form->restoreFileBrowser();
    EXPECT_EQ(form->Drive1->Drive(), drive);
    EXPECT_EQ(form->Dir1->Path(), folder);
    EXPECT_EQ(form->File1->Path(), shown);
}
