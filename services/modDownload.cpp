#include "services/modDownload.h"

#include "platform/core/Inet.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/InputControls.h"

#include <QElapsedTimer>
#include <QPointer>

#include <algorithm>

namespace
{

// Wall time less the time the window's messages took: a box the user reads or another action
// run meanwhile leaves the transfer's own time alone.
class TransferClock
{
public:
    TransferClock() { m_wall.start(); }
    template <typename Fn> void setAside(Fn &&fn)
    {
        QElapsedTimer aside;
        aside.start();
        fn();
        m_asideMs += aside.elapsed();
    }
    qint64 elapsed() const { return m_wall.elapsed() - m_asideMs; }

private:
    QElapsedTimer m_wall;
    qint64 m_asideMs = 0;
};

qint64 largestReply = 0;

} // namespace

qint64 DownloadLargestReply()
{
    return largestReply;
}

void DownloadResetLargestReply()
{
    largestReply = 0;
}

QByteArray DownloadUrlToString(const QString &url)
{
    return DownloadUrl(url).body;
}

QByteArray DownloadUrlWithProgress(const QString &url, ui::TextBox *textBox)
{
    DownloadOptions options;
    options.progress = DownloadProgressInto(textBox);
    return DownloadUrl(url, options).body;
}

std::function<void(qint64 bytes)> DownloadProgressInto(ui::TextBox *textBox)
{
    // The window's messages run during the download: the box may be gone whenever it is told.
    return [box = QPointer<ui::TextBox>(textBox)](qint64 bytes) {
        if (box)
            box->setText(QStringLiteral("Downloaded %1 bytes.").arg(bytes));
    };
}

DownloadResult DownloadUrl(const QString &url, const DownloadOptions &options)
{
    DownloadResult result;
    const qint64 maxBytes =
        options.maxBytes > 0 ? std::min(options.maxBytes, DownloadCeilingBytes) : DownloadMaxBytes;
    TransferClock clock;

    bool stopped = false;
    bool outOfTime = false;
    bool tooLong = false;
    qint64 firstBlockAt = -1; // on the transfer clock
    // False once the download should end; past its time it still takes in what has arrived.
    const auto keepGoing = [&] {
        if (stopped || !options.guard.alive()) {
            stopped = true;
            return false;
        }
        const qint64 now = clock.elapsed();
        if (options.maxMs > 0 && now >= options.maxMs)
            outOfTime = true;
        if (options.streamGraceMs > 0 && firstBlockAt >= 0 && now - firstBlockAt >= options.streamGraceMs)
            outOfTime = true;
        return !outOfTime;
    };
    const auto runMessages = [&] { clock.setAside([] { DoEvents(); }); };

    if (!keepGoing()) {
        result.stopped = true;
        return result;
    }
    platform::InetHandle *root = platform::inetOpen(QStringLiteral("Mozilla"), platform::InetOpenTypeDirect);
    if (!root)
        return result;
    platform::inetSetWaitHook(root, [&] {
        if (stopped || outOfTime)
            return false;
        runMessages();
        return keepGoing();
    });
    platform::InetHandle *file = platform::inetOpenUrl(root, url, QByteArray(), options.openUrlFlags);
    const auto showProgress = [&] {
        // The progress (a box's change handler) may let the window's messages run as well.
        if (options.progress)
            clock.setAside([&] { options.progress(result.body.size()); });
    };
    if (file && !stopped) {
        char buffer[256];
        bool first = true;
        for (;;) {
            // At the bound, one byte more tells a reply that ends there from one that goes on.
            const qint64 room = maxBytes - result.body.size();
            qint64 bytesRead = 0;
            const bool ok = platform::inetReadFile(
                file, buffer, room > 0 ? std::min<qint64>(sizeof buffer, room) : 1, &bytesRead);
            if (room <= 0 && bytesRead > 0) {
                tooLong = true;
                break;
            }
            if (result.body.capacity() - result.body.size() < bytesRead) {
                // Doubling, but never past the bound: the last step would hold twice that.
                result.body.reserve(qsizetype(
                    std::min<qint64>(maxBytes, std::max<qint64>(2 * result.body.capacity(), 4096))));
            }
            result.body.append(buffer, bytesRead);
            largestReply = std::max(largestReply, qint64(result.body.size()));
            if (bytesRead == 0) {
                result.whole = ok;
                if (!first)
                    showProgress();
                break;
            }
            if (!first) {
                showProgress();
                // Out of time, what has arrived is read without letting anything else in.
                if (!outOfTime)
                    runMessages();
            }
            if (first)
                firstBlockAt = clock.elapsed();
            first = false;
            // Past its time the download goes on reading what has already arrived.
            keepGoing();
            if (stopped)
                break;
        }
    }
    if (file)
        platform::inetCloseHandle(file);
    platform::inetCloseHandle(root);
    result.stopped = stopped;
    result.cut = !stopped && (tooLong || (outOfTime && !result.whole));
    if (stopped || result.cut)
        result.whole = false;
    return result;
}
