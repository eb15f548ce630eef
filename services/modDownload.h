// HTTP GET of a whole reply body, read in blocks of 256 bytes while the window stays alive.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The reply body exactly as received, whatever the HTTP status; empty when the address
// cannot be opened.
QByteArray DownloadUrlToString(const QString &url);

// As DownloadUrlToString, and after every read but the first sets textBox's "Text" property
// to "Downloaded <n> bytes.".
QByteArray DownloadUrlWithProgress(const QString &url, QObject *textBox);
