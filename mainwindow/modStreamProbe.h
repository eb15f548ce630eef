// The availability probe of a channel: an HTTP GET of the stream's own address, read
// like DownloadUrlToString but bounded, so an endless or stalling stream cannot hold the click.
#pragma once

#include "platform/ui/WindowGuard.h"

#include <QByteArray>
#include <QString>

struct StreamProbe {
    QByteArray reply;      // what was read, exactly as received
    bool cutShort = false; // the size or time bound ended the read before the server did
    bool givenUp = false;  // its guard answered false: window gone, newer click, program ending
};

constexpr qint64 StreamProbeMaxBytes = 64 * 1024;
constexpr int StreamProbeMaxMs = 5000;
// An error page is short and ends; a reply still coming this long after its first block is
// a stream, which would otherwise keep the old channel playing until a bound above.
constexpr int StreamProbeGraceMs = 300;

// The bounds a click on a channel probes with (tests shorten them).
struct StreamProbeBounds {
    qint64 maxBytes = StreamProbeMaxBytes;
    int maxMs = StreamProbeMaxMs;
    int graceMs = StreamProbeGraceMs;
};
StreamProbeBounds &channelProbeBounds();

// Reads at most maxBytes or for at most maxMs (connecting and headers included), whichever
// comes first, whatever the server does, and no longer than graceMs past the body's first
// block; window messages run throughout, and the time they take (a box the user reads,
// another action) does not count towards either time. What has arrived when the time is up
// is still read. An address that cannot be opened gives an empty reply.
// The guard is asked throughout; once it answers false the probe is given up at once.
StreamProbe ProbeStreamUrl(const QString &url, qint64 maxBytes = StreamProbeMaxBytes,
                           int maxMs = StreamProbeMaxMs, int graceMs = StreamProbeGraceMs,
                           const ui::WindowGuard &guard = {});
