#include "services/modDownload.h"

#include "platform/core/Inet.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Form.h"
#include "platform/ui/Forms.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QVariant>

#include <algorithm>

namespace
{

// A window counts as gone once it has left the collection of loaded windows, even while its
// object still lives on until the handler that unloaded it returns.
bool ownerGone(const QPointer<QObject> &owner, bool hadOwner)
{
    if (!hadOwner)
        return false;
    if (!owner)
        return true;
    if (auto *form = qobject_cast<ui::Form *>(owner.data()))
        return ui::Forms::find(form->objectName()) != form;
    return false;
}

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
    return DownloadUrlWithFlags(url, DownloadPastEveryCache);
}

QByteArray DownloadUrlWithProgress(const QString &url, QObject *textBox)
{
    return DownloadUrlWithFlags(url, DownloadPastEveryCache, textBox);
}

QByteArray DownloadUrlWithFlags(const QString &url, quint32 openUrlFlags, QObject *textBox)
{
    DownloadOptions options;
    options.openUrlFlags = openUrlFlags;
    options.progressBox = textBox;
    return DownloadUrl(url, options).body;
}

DownloadResult DownloadUrl(const QString &url, const DownloadOptions &options)
{
    DownloadResult result;
    // The window's message loop runs during the download: the text box and the owner may be
    // gone whenever it returns.
    const QPointer<QObject> progressBox(options.progressBox);
    const QPointer<QObject> owner(options.owner);
    const bool hadOwner = options.owner != nullptr;
    const qint64 maxBytes =
        options.maxBytes > 0 ? std::min(options.maxBytes, DownloadMaxBytes) : DownloadMaxBytes;
    TransferClock clock;

    bool stopped = false;
    bool outOfTime = false;
    bool tooLong = false;
    // False once the download should end; past its time it still takes in what has arrived.
    const auto keepGoing = [&] {
        if (stopped || ui::programEnding() || ownerGone(owner, hadOwner) ||
            (options.stillWanted && !options.stillWanted())) {
            stopped = true;
            return false;
        }
        if (options.maxMs > 0 && clock.elapsed() >= options.maxMs)
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
        // The box's change handler may let the window's messages run as well.
        clock.setAside([&] {
            if (progressBox)
                progressBox->setProperty("Text",
                                         QStringLiteral("Downloaded %1 bytes.").arg(result.body.size()));
        });
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
