// Channels of an M3U playlist, from a file or an address, appended to the channel list: the
// playlist is read on a thread of its own, Data.txt is written on the window's thread, and
// the category that took most of them is shown.
#include "mainwindow/Form1.h"

#include "platform/core/TextLines.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WindowGuard.h"
#include "services/modDownload.h"
#include "services/modGlobals.h"
#include "services/modSaveFile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QThread>

#include <functional>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace
{

QString channelListPath()
{
    return strDataFolder + QStringLiteral("/Data.txt");
}

std::string_view viewOf(QByteArrayView bytes)
{
    return {bytes.data(), size_t(bytes.size())};
}

} // namespace

// What an import has found by the time Data.txt is to be written.
struct PlaylistImportWork {
    // Data.txt as a merge read it: when it is not so any more at the write, the merge is made again.
    struct ListStamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;

        static ListStamp of(const QString &path)
        {
            const QFileInfo info(path);
            return {info.exists(), info.exists() ? info.size() : -1, info.lastModified()};
        }
        bool operator==(const ListStamp &) const = default;
    };

    M3UPlaylist playlist;
    bool playlistUnread = false; // the playlist file could not be read
    bool listUnread = false;     // Data.txt is there but could not be read
    ListStamp stamp;
    Form1::PlaylistMerge merge;
};

namespace
{

using ListStamp = PlaylistImportWork::ListStamp;

void mergeIntoList(PlaylistImportWork &work)
{
    const QString path = channelListPath();
    work.stamp = ListStamp::of(path);
    QByteArray list;
    if (work.stamp.exists) {
        std::optional<QByteArray> content = platform::readWholeFile(path);
        if (!content) {
            work.listUnread = true;
            return;
        }
        list = std::move(*content);
    }
    work.listUnread = false;
    work.merge = Form1::mergePlaylist(list, work.playlist.channels);
}

// The reading and merging of one import on a thread of its own. A child of the window: the
// window going waits for the thread, and what it found is then dropped.
class ImportJob : public QObject
{
public:
    ImportJob(QObject *window, std::function<void(PlaylistImportWork &)> work,
              std::function<void(PlaylistImportWork &)> done)
        : QObject(window)
    {
        m_thread = QThread::create([this, work = std::move(work)] { work(m_work); });
        connect(m_thread, &QThread::finished, this, [this, done = std::move(done)] {
            PlaylistImportWork found = std::move(m_work);
            deleteLater();
            done(found);
        });
        m_thread->start();
    }
    ~ImportJob() override
    {
        m_thread->wait();
        delete m_thread;
    }

private:
    QThread *m_thread = nullptr;
    PlaylistImportWork m_work;
};

// "1 line", "2 lines".
QString counted(int n, const char *thing)
{
    return QString::number(n) + u' ' + QLatin1String(thing) + (n == 1 ? QString() : QStringLiteral("s"));
}

QString notAPlaylist(const QString &source, int skipped)
{
    QString text = source + QStringLiteral(" is not an M3U playlist: it holds no channel (an #EXTINF line "
                                           "followed by an address, or a stream address).");
    if (skipped > 0)
        text += u' ' + counted(skipped, "line") +
                (skipped == 1 ? QStringLiteral(" was") : QStringLiteral(" were")) +
                QStringLiteral(" skipped.");
    return text + QStringLiteral(" The channel list has not been changed.");
}

} // namespace

Form1::PlaylistMerge Form1::mergePlaylist(const QByteArray &channelList, const QList<M3UChannel> &channels)
{
    PlaylistMerge merge;
    qint64 largestId = 0;
    std::unordered_set<std::string_view> addresses;
    platform::forEachLine(channelList, platform::LineEnds::CrLfOrLf, [&](QByteArrayView line) {
        qsizetype bar = line.indexOf('|');
        if (bar < 0)
            return;
        bool isNumber = false;
        const qint64 id = line.first(bar).trimmed().toLongLong(&isNumber);
        if (isNumber)
            largestId = std::max(largestId, id);
        // The address is field 3.
        for (int field = 1; field < 3 && bar >= 0; ++field)
            bar = line.indexOf('|', bar + 1);
        if (bar < 0)
            return;
        const qsizetype end = line.indexOf('|', bar + 1);
        addresses.insert(viewOf(line.sliced(bar + 1, (end < 0 ? line.size() : end) - bar - 1)));
    });

    // The new addresses stay in place while the set holds them.
    std::vector<QByteArray> newAddresses;
    newAddresses.reserve(size_t(channels.size()));
    QByteArray appended;
    int addedTv = 0, addedRadio = 0, keptTv = 0, keptRadio = 0;
    for (const M3UChannel &channel : channels) {
        const bool radio = channel.category == QLatin1String("Radio");
        newAddresses.push_back(channel.url.toUtf8());
        if (!addresses.insert(viewOf(newAddresses.back())).second) {
            ++merge.alreadyThere;
            ++(radio ? keptRadio : keptTv);
            continue;
        }
        appended += channelDataLine(++largestId, channel.name.toUtf8(), channel.category.toUtf8(),
                                    newAddresses.back(), channel.types.toUtf8()) +
                    "\r\n";
        ++merge.added;
        ++(radio ? addedRadio : addedTv);
    }
    const bool radioMost = merge.added > 0 ? addedRadio > addedTv : keptRadio > keptTv;
    merge.category = radioMost ? QStringLiteral("Radio") : QStringLiteral("TV");
    if (merge.added == 0)
        return merge;

    // The last line of the file gets its end before anything follows it.
    QByteArrayView lineEnd;
    if (!channelList.isEmpty() && !channelList.endsWith('\n'))
        lineEnd = channelList.endsWith('\r') ? "\n" : "\r\n";
    merge.data.reserve(channelList.size() + lineEnd.size() + appended.size());
    merge.data.append(channelList).append(lineEnd).append(appended);
    return merge;
}

void Form1::setWritingChannelList(bool writing)
{
    m_writingChannelList = writing;
    for (QObject *writer :
         {control(QStringLiteral("mnuFileItem"), 0), control(QStringLiteral("mnuFileItem"), 1),
          control(QStringLiteral("mnuUpdateItem"), 0), static_cast<QObject *>(save)})
        writer->setProperty("Enabled", !writing);
}

void Form1::openPlaylistFile()
{
    if (m_writingChannelList)
        return;
    auto *dialog = new QFileDialog(this, QStringLiteral("Open Playlist File"), QDir::homePath());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setNameFilters({QStringLiteral("Playlists (*.m3u *.m3u8)"), QStringLiteral("All files (*)")});
    connect(dialog, &QFileDialog::fileSelected, this, &Form1::importPlaylistFile);
    dialog->open();
}

void Form1::openPlaylistAddress()
{
    if (m_writingChannelList)
        return;
    auto *dialog = new QInputDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Open Playlist Address"));
    dialog->setLabelText(QStringLiteral("Address of the playlist (http:// or https://):"));
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->resize(dialog->sizeHint().expandedTo(QSize(480, 0)));
    connect(dialog, &QInputDialog::textValueSelected, this, &Form1::importPlaylistAddress);
    dialog->open();
}

void Form1::importPlaylistFile(const QString &path)
{
    if (m_writingChannelList)
        return;
    setWritingChannelList(true);
    txtStatus->setText(QStringLiteral("Reading the playlist ") + path + QStringLiteral("..."));
    new ImportJob(
        this,
        [path](PlaylistImportWork &work) {
            std::optional<QByteArray> text = platform::readWholeFile(path);
            if (!text) {
                work.playlistUnread = true;
                return;
            }
            work.playlist = ReadM3U(*text, path);
            if (!work.playlist.channels.isEmpty())
                mergeIntoList(work);
        },
        [this, path, guard = ui::WindowGuard(this)](PlaylistImportWork &work) {
            if (guard.alive())
                finishPlaylistImport(work, path);
        });
}

void Form1::importPlaylistAddress(const QString &address)
{
    if (m_writingChannelList)
        return;
    const QString url = address.trimmed();
    const QString scheme = url.section(QLatin1Char(':'), 0, 0).toLower();
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        !url.contains(QLatin1String("://"))) {
        MsgBox(QStringLiteral("\"") + url +
                   QStringLiteral("\" is not a playlist address. Give an address that begins with http:// or "
                                  "https://."),
               vbExclamation);
        return;
    }
    const ui::WindowGuard guard(this);
    setWritingChannelList(true);
    DownloadOptions options;
    options.guard = guard;
    options.maxBytes = PlaylistMaxBytes;
    // A playlist of many megabytes comes in tens of thousands of blocks: a status line told of
    // each would cost more than the download itself. Ten times a second reads the same.
    QElapsedTimer sinceTold;
    options.progress = [told = DownloadProgressInto(txtStatus), &sinceTold](qint64 bytes) {
        if (sinceTold.isValid() && sinceTold.elapsed() < 100)
            return;
        sinceTold.start();
        told(bytes);
    };
    DownloadResult download = DownloadUrl(url, options);
    if (!guard.alive())
        return;
    if (download.stopped || !download.whole) {
        setWritingChannelList(false);
        if (download.stopped)
            return;
        QString why;
        if (download.cut)
            why = QStringLiteral("The playlist at %1 is larger than %2 MiB; nothing was added.")
                      .arg(url)
                      .arg(PlaylistMaxBytes / (1024 * 1024));
        else
            why = QStringLiteral("The playlist could not be downloaded from %1; nothing was added.").arg(url);
        txtStatus->setText(QStringLiteral("Nothing was imported from ") + url + u'.');
        MsgBox(why, vbExclamation);
        return;
    }
    txtStatus->setText(QStringLiteral("Reading the playlist ") + url + QStringLiteral("..."));
    new ImportJob(
        this,
        [url, body = std::move(download.body)](PlaylistImportWork &work) {
            work.playlist = ReadM3U(body, url);
            if (!work.playlist.channels.isEmpty())
                mergeIntoList(work);
        },
        [this, url, guard](PlaylistImportWork &work) {
            if (guard.alive())
                finishPlaylistImport(work, url);
        });
}

void Form1::finishPlaylistImport(PlaylistImportWork &work, const QString &source)
{
    // Once the program is ending no write may start.
    if (ui::programEnding())
        return;
    // The status line says that nothing came of it before a box says why.
    const auto fail = [this, &source](const QString &why) {
        setWritingChannelList(false);
        txtStatus->setText(QStringLiteral("Nothing was imported from ") + source + u'.');
        if (!why.isEmpty())
            MsgBox(why, vbExclamation);
    };
    if (work.playlistUnread)
        return fail(QStringLiteral("The playlist file ") + source + QStringLiteral(" could not be read."));
    if (work.playlist.channels.isEmpty())
        return fail(notAPlaylist(source, work.playlist.skipped));
    // Written by another program while the playlist was read: merged again with what is there now.
    if (!work.listUnread && ListStamp::of(channelListPath()) != work.stamp)
        mergeIntoList(work);
    if (work.listUnread)
        return fail(QStringLiteral("The channel list ") + channelListPath() +
                    QStringLiteral(" could not be read, so no channel was added to it."));
    if (work.merge.added > 0) {
        // The data folder is the import's own to make: the playlist's channels need a home.
        if (!QDir().mkpath(strDataFolder))
            return fail(QStringLiteral("The folder ") + strDataFolder +
                        QStringLiteral(" could not be made, so no channel was added."));
        // Its own box tells why.
        if (!SaveFileOrTell(channelListPath(), work.merge.data, QStringLiteral("The channel list")))
            return fail(QString());
    }

    // The channels as the user would find them: their category, every type.
    if (work.merge.category == QLatin1String("Radio"))
        cmdRadio_Click();
    else
        cmdTV_Click();
    Combo1->setListIndex(0);
    setWritingChannelList(false);
    MsgBox(
        QStringLiteral("Playlist imported: %1 added, %2 already in the channel list, %3 skipped.\r\n\r\nAn "
                       "online update (Update Channels > Update Channels Online) replaces the whole channel "
                       "list, imported channels included.")
            .arg(counted(work.merge.added, "channel"), counted(work.merge.alreadyThere, "channel"),
                 counted(work.playlist.skipped, "line")),
        vbInformation);
}
