// HTTP GET of a whole reply body, read in blocks of 256 bytes while the window stays alive.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The reply body exactly as received, whatever the HTTP status; empty when the address
// cannot be opened. Asks past every cache on the way.
QByteArray DownloadUrlToString(const QString &url);

// As DownloadUrlToString, and after every read but the first sets textBox's "Text" property
// to "Downloaded <n> bytes.".
QByteArray DownloadUrlWithProgress(const QString &url, QObject *textBox);

// The download both of the above make, for callers that differ in how the address is opened:
// openUrlFlags go to platform::inetOpenUrl as they are (0 leaves caching to the platform).
// Window messages run after every read but the first; textBox, when given and still alive,
// gets the progress text first.
QByteArray DownloadUrlWithFlags(const QString &url, quint32 openUrlFlags, QObject *textBox = nullptr);
