// HTTP GET of a whole reply body, read in blocks of 256 bytes while the window stays alive.
#pragma once

#include "platform/core/Inet.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// Open flags that ask past every cache on the way.
constexpr quint32 DownloadPastEveryCache = platform::InetFlagReload | platform::InetFlagPragmaNoCache;

// The reply body exactly as received, whatever the HTTP status; empty when the address
// cannot be opened. Asks past every cache on the way.
QByteArray DownloadUrlToString(const QString &url);

// As DownloadUrlToString, and after every read but the first sets textBox's "Text" property
// to "Downloaded <n> bytes.".
QByteArray DownloadUrlWithProgress(const QString &url, QObject *textBox);

// The download both of the above make, for callers that differ in how the address is opened:
// openUrlFlags go to platform::inetOpenUrl as they are (0 leaves caching to the platform).
QByteArray DownloadUrlWithFlags(const QString &url, quint32 openUrlFlags, QObject *textBox = nullptr);

struct DownloadOptions {
    quint32 openUrlFlags = DownloadPastEveryCache;
    // Gets "Downloaded <n> bytes." after every read but the first, while it is alive.
    QObject *progressBox = nullptr;
    // The window the download serves: once it is closed or unloaded the download stops.
    QObject *owner = nullptr;
    // Bounds of the whole download, connecting included; 0 for none. A bound that is reached
    // keeps what arrived and marks the reply cut.
    qint64 maxBytes = 0;
    int maxMs = 0;
    // Asked while the download waits and between reads; false stops it (a newer request
    // has taken its place).
    std::function<bool()> stillWanted;
};

struct DownloadResult {
    QByteArray body;     // what arrived, exactly as received
    bool whole = false;  // the server ended the reply itself and all of it arrived
    bool cut = false;    // a bound of the options ended it
    bool stopped = false; // its window went, the program is ending, or it is no longer wanted
};

// Window messages run while the download waits (connecting, headers, more of the body) and
// after every read but the first, so the window never freezes; the program's end stops
// every download at once.
DownloadResult DownloadUrl(const QString &url, const DownloadOptions &options = {});
