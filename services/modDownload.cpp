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

} // namespace

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
    QElapsedTimer clock;
    clock.start();

    enum class Why { None, Cut, Stopped } why = Why::None;
    const auto keepGoing = [&] {
        if (ui::programEnding() || ownerGone(owner, hadOwner) ||
            (options.stillWanted && !options.stillWanted())) {
            why = Why::Stopped;
            return false;
        }
        if (options.maxMs > 0 && clock.elapsed() >= options.maxMs) {
            why = Why::Cut;
            return false;
        }
        return true;
    };

    if (!keepGoing()) {
        result.stopped = true;
        return result;
    }
    platform::InetHandle *root = platform::inetOpen(QStringLiteral("Mozilla"), platform::InetOpenTypeDirect);
    if (!root)
        return result;
    platform::inetSetWaitHook(root, [&] {
        DoEvents();
        return keepGoing();
    });
    platform::InetHandle *file = platform::inetOpenUrl(root, url, QByteArray(), options.openUrlFlags);
    const auto showProgress = [&] {
        if (progressBox)
            progressBox->setProperty("Text", QStringLiteral("Downloaded %1 bytes.").arg(result.body.size()));
    };
    if (file) {
        char buffer[256];
        bool first = true;
        for (;;) {
            qint64 want = sizeof buffer;
            if (options.maxBytes > 0) {
                want = std::min<qint64>(want, options.maxBytes - result.body.size());
                if (want <= 0) {
                    why = Why::Cut;
                    break;
                }
            }
            qint64 bytesRead = 0;
            const bool ok = platform::inetReadFile(file, buffer, want, &bytesRead);
            result.body.append(buffer, bytesRead);
            if (bytesRead == 0) {
                result.whole = ok;
                if (!first)
                    showProgress();
                break;
            }
            if (!first) {
                showProgress();
                DoEvents();
            }
            first = false;
            if (!keepGoing())
                break;
        }
        platform::inetCloseHandle(file);
    }
    platform::inetCloseHandle(root);
    result.cut = why == Why::Cut;
    result.stopped = why == Why::Stopped;
    if (why != Why::None)
        result.whole = false;
    return result;
}
