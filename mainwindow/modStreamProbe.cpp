#include "mainwindow/modStreamProbe.h"

#include "services/modDownload.h"

StreamProbeBounds &channelProbeBounds()
{
    static StreamProbeBounds bounds;
    return bounds;
}

StreamProbe ProbeStreamUrl(const QString &url, qint64 maxBytes, int maxMs, int graceMs,
                           const ui::WindowGuard &guard)
{
    DownloadOptions options;
    options.guard = guard;
    options.maxBytes = maxBytes;
    options.maxMs = maxMs;
    options.streamGraceMs = graceMs;
    DownloadResult download = DownloadUrl(url, options);
    StreamProbe probe;
    probe.reply = std::move(download.body);
    probe.cutShort = download.cut;
    probe.givenUp = download.stopped;
    return probe;
}
