// The availability probe of a channel: an HTTP GET of the stream's own address, read
// like DownloadUrlToString but bounded, so an endless stream cannot hold the click.
#pragma once

#include <QByteArray>
#include <QString>

struct StreamProbe {
    QByteArray reply;      // what was read, exactly as received
    bool cutShort = false; // the size or time bound ended the read before the server did
};

constexpr qint64 StreamProbeMaxBytes = 64 * 1024;
constexpr int StreamProbeMaxMs = 5000;

// Reads at most maxBytes or for at most maxMs (connecting included), whichever comes
// first; pending window messages run after every read but the first. An address that
// cannot be opened gives an empty reply.
StreamProbe ProbeStreamUrl(const QString &url, qint64 maxBytes = StreamProbeMaxBytes,
                           int maxMs = StreamProbeMaxMs);
