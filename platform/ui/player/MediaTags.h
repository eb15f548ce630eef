// What a medium tells of itself: a radio's name and the title it plays now, a song's tags and
// its cover, followed as they change while it plays.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

struct libvlc_media_t;
struct libvlc_event_t;

namespace ui
{

struct SoundTags {
    QString title; // a song's title or a station's name; empty when the medium has none
    QString artist;
    QString nowPlaying; // what a radio plays now
    QString artwork;    // the cover's address
    QString fileName;   // the last part of the address
};

// The two lines shown for sound alone. The first: the name the user clicked, else the title,
// else the file name. The second: what a radio plays now, else "Artist – Title" from the tags
// when that says more than the first line (the artist alone under the title).
struct SoundLines {
    QString first;
    QString second;
};
SoundLines soundLines(const QString &clickedName, const SoundTags &tags);

// Follows one medium's tags; changed() is queued to the window's thread.
class MediaTags : public QObject
{
    Q_OBJECT

public:
    explicit MediaTags(QObject *parent = nullptr);
    ~MediaTags() override;

    // Follows `media` (retained meanwhile) from now on; null follows none.
    void follow(libvlc_media_t *media);
    libvlc_media_t *followed() const { return m_media; }
    SoundTags read() const;
    // The cover of the followed medium when it is a picture on this machine; null otherwise.
    // Read once per address.
    QImage cover();

signals:
    void changed();

private:
    static void metaChanged(const libvlc_event_t *event, void *self);

    libvlc_media_t *m_media = nullptr;
    QString m_coverAddress;
    QImage m_cover;
};

} // namespace ui
