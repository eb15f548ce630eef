#include "platform/ui/player/MediaTags.h"

#include <vlc/vlc.h>

#include <QImageReader>
#include <QUrl>

namespace ui
{

namespace
{

QString meta(libvlc_media_t *media, libvlc_meta_t which)
{
    char *value = libvlc_media_get_meta(media, which);
    const QString text = QString::fromUtf8(value).trimmed();
    libvlc_free(value);
    return text;
}

// A cover larger than this is read scaled down: the area never shows it larger.
constexpr int kCoverSide = 1024;

} // namespace

SoundLines soundLines(const QString &clickedName, const SoundTags &tags)
{
    SoundLines lines;
    lines.first = !clickedName.trimmed().isEmpty() ? clickedName.trimmed()
                  : !tags.title.isEmpty()          ? tags.title
                                                   : tags.fileName;
    if (!tags.nowPlaying.isEmpty()) {
        lines.second = tags.nowPlaying;
    } else if (lines.first == tags.title) {
        lines.second = tags.artist;
    } else {
        QStringList parts;
        if (!tags.artist.isEmpty())
            parts << tags.artist;
        if (!tags.title.isEmpty())
            parts << tags.title;
        const QString song = parts.join(QStringLiteral(" \u2013 "));
        if (song != lines.first)
            lines.second = song;
    }
    return lines;
}

MediaTags::MediaTags(QObject *parent) : QObject(parent) {}

MediaTags::~MediaTags()
{
    follow(nullptr);
}

void MediaTags::follow(libvlc_media_t *media)
{
    if (media == m_media)
        return;
    if (m_media) {
        // Once detached, libVLC calls no more; a report already queued names the old medium.
        libvlc_event_detach(libvlc_media_event_manager(m_media), libvlc_MediaMetaChanged,
                            &MediaTags::metaChanged, this);
        libvlc_media_release(m_media);
    }
    m_media = media;
    if (m_media) {
        libvlc_media_retain(m_media);
        libvlc_event_attach(libvlc_media_event_manager(m_media), libvlc_MediaMetaChanged,
                            &MediaTags::metaChanged, this);
    }
    emit changed();
}

void MediaTags::metaChanged(const libvlc_event_t *event, void *self)
{
    auto *tags = static_cast<MediaTags *>(self);
    libvlc_media_t *media = static_cast<libvlc_media_t *>(event->p_obj);
    QMetaObject::invokeMethod(
        tags,
        [tags, media] {
            if (media == tags->m_media)
                emit tags->changed();
        },
        Qt::QueuedConnection);
}

SoundTags MediaTags::read() const
{
    SoundTags tags;
    if (!m_media)
        return tags;
    char *mrl = libvlc_media_get_mrl(m_media);
    const QUrl address(QString::fromUtf8(mrl));
    libvlc_free(mrl);
    tags.fileName = address.fileName();
    if (tags.fileName.isEmpty())
        tags.fileName = address.host();
    tags.title = meta(m_media, libvlc_meta_Title);
    // libVLC answers a medium without a title with its name, which is the address's last part.
    if (tags.title == tags.fileName || tags.title == address.toString())
        tags.title.clear();
    tags.artist = meta(m_media, libvlc_meta_Artist);
    tags.nowPlaying = meta(m_media, libvlc_meta_NowPlaying);
    tags.artwork = meta(m_media, libvlc_meta_ArtworkURL);
    return tags;
}

QImage MediaTags::cover()
{
    const QString address = m_media ? meta(m_media, libvlc_meta_ArtworkURL) : QString();
    if (address == m_coverAddress)
        return m_cover;
    m_coverAddress = address;
    m_cover = QImage();
    // A picture elsewhere on the network would need a download of its own; libVLC puts the
    // pictures it finds inside a file into its cache on this machine.
    const QUrl url(address);
    if (url.isLocalFile()) {
        QImageReader reader(url.toLocalFile());
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.width() > kCoverSide || size.height() > kCoverSide)
            reader.setScaledSize(size.scaled(kCoverSide, kCoverSide, Qt::KeepAspectRatio));
        m_cover = reader.read();
    }
    return m_cover;
}

} // namespace ui
