#include "mainwindow/modStreamProbe.h"

#include "platform/core/Inet.h"
#include "platform/ui/DoEvents.h"

#include <QElapsedTimer>

#include <algorithm>

StreamProbe ProbeStreamUrl(const QString &url, qint64 maxBytes, int maxMs)
{
    StreamProbe probe;
    QElapsedTimer clock;
    clock.start();
    platform::InetHandle *root = platform::inetOpen(QStringLiteral("Mozilla"), platform::InetOpenTypeDirect);
    if (!root)
        return probe;
    // Opening waits for the connection and then for the headers, each with its own
    // time-out; half the budget each keeps the open within the bound.
    const int openTimeout = std::max(1, maxMs / 2);
    platform::inetSetTimeouts(root, openTimeout, openTimeout);
    platform::InetHandle *file = platform::inetOpenUrl(
        root, url, QByteArray(), platform::InetFlagReload | platform::InetFlagPragmaNoCache);
    if (file) {
        char buffer[256];
        bool first = true;
        for (;;) {
            const qint64 left = maxMs - clock.elapsed();
            if (probe.reply.size() >= maxBytes || left <= 0) {
                probe.cutShort = true;
                break;
            }
            // The receive time-out is read while waiting, so the last read ends with the budget.
            platform::inetSetTimeouts(root, openTimeout, int(left));
            qint64 bytesRead = 0;
            const qint64 want = std::min<qint64>(sizeof buffer, maxBytes - probe.reply.size());
            const bool ok = platform::inetReadFile(file, buffer, want, &bytesRead);
            probe.reply.append(buffer, bytesRead);
            if (!first)
                DoEvents();
            first = false;
            if (bytesRead == 0) {
                // A read that timed out used up the budget: the bound ended it.
                probe.cutShort = !ok && clock.elapsed() >= maxMs;
                break;
            }
        }
        platform::inetCloseHandle(file);
    }
    platform::inetCloseHandle(root);
    return probe;
}
