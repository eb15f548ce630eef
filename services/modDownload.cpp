#include "services/modDownload.h"

#include "platform/core/Inet.h"
#include "platform/ui/DoEvents.h"

#include <QPointer>
#include <QVariant>

namespace
{

constexpr quint32 kPastEveryCache = platform::InetFlagReload | platform::InetFlagPragmaNoCache;

} // namespace

QByteArray DownloadUrlToString(const QString &url)
{
    return DownloadUrlWithFlags(url, kPastEveryCache);
}

QByteArray DownloadUrlWithProgress(const QString &url, QObject *textBox)
{
    return DownloadUrlWithFlags(url, kPastEveryCache, textBox);
}

QByteArray DownloadUrlWithFlags(const QString &url, quint32 openUrlFlags, QObject *textBox)
{
    // The window's message loop runs between reads; the text box may be gone when it returns.
    const QPointer<QObject> progressBox(textBox);
    QByteArray text;
    platform::InetHandle *root = platform::inetOpen(QStringLiteral("Mozilla"), platform::InetOpenTypeDirect);
    if (!root)
        return text;
    platform::InetHandle *file = platform::inetOpenUrl(root, url, QByteArray(), openUrlFlags);
    if (file) {
        char buffer[256];
        qint64 bytesRead = 0;
        platform::inetReadFile(file, buffer, sizeof buffer, &bytesRead);
        text.append(buffer, bytesRead);
        while (bytesRead > 0) {
            platform::inetReadFile(file, buffer, sizeof buffer, &bytesRead);
            text.append(buffer, bytesRead);
            if (progressBox)
                progressBox->setProperty("Text", QStringLiteral("Downloaded %1 bytes.").arg(text.size()));
            DoEvents();
        }
        platform::inetCloseHandle(file);
    }
    platform::inetCloseHandle(root);
    return text;
}
