#include "mainwindow/modStreamProbe.h"

#include "services/modDownload.h"

StreamProbeBounds &channelProbeBounds()
{
    static StreamProbeBounds bounds;
    return bounds;
}

StreamProbe ProbeStreamUrl(const QString &url, qint64 maxBytes, int maxMs, QObject *owner,
                           std::function<bool()> stillWanted)
{
    DownloadOptions options;
    options.owner = owner;
    options.maxBytes = maxBytes;
    options.maxMs = maxMs;
    options.stillWanted = std::move(stillWanted);
    DownloadResult download = DownloadUrl(url, options);
    StreamProbe probe;
    probe.reply = std::move(download.body);
    probe.cutShort = download.cut;
    probe.givenUp = download.stopped;
    return probe;
}
