#include "services/modDownload.h"

#include "platform/core/Inet.h"
#include "platform/ui/DoEvents.h"

#include <QPointer>
#include <QVariant>

namespace
{

// The window's message loop runs between reads; the text box may be gone when it returns.
QByteArray download(const QString &url, QPointer<QObject> textBox)
{
    QByteArray text;
    platform::InetHandle *root = platform::inetOpen(QStringLiteral("Mozilla"), platform::InetOpenTypeDirect);
    if (!root)
        return text;
    platform::InetHandle *file = platform::inetOpenUrl(
        root, url, QByteArray(), platform::InetFlagReload | platform::InetFlagPragmaNoCache);
    if (file) {
        char buffer[256];
        qint64 bytesRead = 0;
        platform::inetReadFile(file, buffer, sizeof buffer, &bytesRead);
        text.append(buffer, bytesRead);
        while (bytesRead > 0) {
            platform::inetReadFile(file, buffer, sizeof buffer, &bytesRead);
            text.append(buffer, bytesRead);
            if (textBox)
                textBox->setProperty("Text", QStringLiteral("Downloaded %1 bytes.").arg(text.size()));
            DoEvents();
        }
        platform::inetCloseHandle(file);
    }
    platform::inetCloseHandle(root);
    return text;
}

} // namespace

QByteArray DownloadUrlToString(const QString &url)
{
    return download(url, nullptr);
}

QByteArray DownloadUrlWithProgress(const QString &url, QObject *textBox)
{
    return download(url, textBox);
}
