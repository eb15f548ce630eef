// M3U playlists read into channels: text in, channels out. Knows nothing of windows or of the
// channel list file; the fields it gives hold no "|", CR or LF, so each fits a channel line.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

struct M3UChannel {
    QString name;
    QString category; // "TV" or "Radio"
    QString url;
    QString types; // joined by "/"; "Imported" when the entry names none

    bool operator==(const M3UChannel &) const = default;
};

struct M3UPlaylist {
    QList<M3UChannel> channels;
    // Entries without an address, addresses of another scheme, and lines that are neither an
    // entry's address nor a comment.
    int skipped = 0;
};

// Reads a playlist (UTF-8, with or without a byte-order mark, CR LF or LF line ends). base is
// where it came from: its http(s) address, or the path of its file. An entry's relative
// address is resolved against it, to an address or to a local path.
M3UPlaylist ReadM3U(QByteArrayView text, const QString &base);

// Whether an address names one of the schemes a channel may play from.
bool IsPlaylistAddress(const QString &address);
