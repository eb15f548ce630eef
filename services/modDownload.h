// HTTP GET of a whole reply body, read in blocks of 256 bytes while the window stays alive.
#pragma once

#include "platform/core/Inet.h"
#include "platform/ui/WindowGuard.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Open flags that ask past every cache on the way.
constexpr quint32 DownloadPastEveryCache = platform::InetFlagReload | platform::InetFlagPragmaNoCache;

// The reply body exactly as received, whatever the HTTP status; empty when the address
// cannot be opened. Asks past every cache on the way.
QByteArray DownloadUrlToString(const QString &url);

namespace ui
{
class TextBox;
}

// As DownloadUrlToString, and after every read but the first sets the text of textBox to
// "Downloaded <n> bytes." (while the box is there).
QByteArray DownloadUrlWithProgress(const QString &url, ui::TextBox *textBox);

// The progress of DownloadUrlWithProgress, for downloads that need options of their own.
std::function<void(qint64 bytes)> DownloadProgressInto(ui::TextBox *textBox);

// The most a download keeps of a reply: past it the reply counts as cut, so a server that
// never stops sending cannot fill the memory. Each caller's bound fits what it fetches; no
// bound asked for goes past DownloadCeilingBytes.
constexpr qint64 DownloadMaxBytes = 32 * 1024 * 1024;
constexpr qint64 DownloadCeilingBytes = 64 * 1024 * 1024;
// An M3U playlist: a provider's list of 200,000 channels at about 300 bytes an entry.
constexpr qint64 PlaylistMaxBytes = DownloadCeilingBytes;
// The channel guide: 100,000 channels at up to 320 bytes a record.
constexpr qint64 ChannelGuideMaxBytes = DownloadMaxBytes;
// The language file: the shipped one holds four languages in 32 KiB; room for a thousand.
constexpr qint64 LanguageFileMaxBytes = 8 * 1024 * 1024;
// One result page of the video site: twice the largest such page (about 1 MiB). Every block
// of a page updates the status line, which makes a page that never ends cost seconds as it is.
constexpr qint64 VideoPageMaxBytes = 2 * 1024 * 1024;
// The submission's answer: a verdict and a few fields, or the server's error page.
constexpr qint64 SubmitAnswerMaxBytes = 1024 * 1024;

struct DownloadOptions {
    // Go to platform::inetOpenUrl as they are (0 leaves caching to the platform).
    quint32 openUrlFlags = DownloadPastEveryCache;
    // Told the bytes gathered so far after every read but the first, the last (empty) read
    // included, so a body of up to 256 bytes is told once and an empty one never.
    std::function<void(qint64 bytes)> progress;
    // The window the download serves: once the guard answers false (the window unloaded, a
    // newer request made, the program ending) the download stops.
    ui::WindowGuard guard;
    // A reply longer than maxBytes is cut there (at most DownloadCeilingBytes, whatever is asked).
    qint64 maxBytes = DownloadMaxBytes;
    // A download that has waited maxMs in all (connecting included; 0 for no bound) takes in
    // what has arrived and ends; the reply is cut unless that was all of it. The time the
    // window's messages take meanwhile (a box the user reads, another action) does not count.
    int maxMs = 0;
    // A reply still coming streamGraceMs after its first block (0 for no such bound) is taken
    // for one without end: what has arrived is taken in and the reply is cut there. Counted
    // like maxMs. A reply of one block or less is read whole however it pauses, within maxMs.
    int streamGraceMs = 0;
};

struct DownloadResult {
    QByteArray body;      // what arrived, exactly as received
    bool whole = false;   // the server ended the reply itself and all of it arrived
    bool cut = false;     // a bound of the options ended it: too long, or too slow
    bool stopped = false; // its guard answered false: window gone, newer request, program ending
};

// Window messages run while the download waits (connecting, headers, more of the body) and
// after every read but the first, so the window never freezes; the program's end stops
// every download at once.
DownloadResult DownloadUrl(const QString &url, const DownloadOptions &options = {});

// The longest reply any download has held since the last reset: what a flood costs at most.
qint64 DownloadLargestReply();
void DownloadResetLargestReply();
