#include "services/modM3U.h"

#include "platform/core/Text.h"
#include "platform/core/TextLines.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace
{

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The scheme of an address, up to its ":"; empty when the address has none (a relative one).
QStringView schemeOf(QStringView address)
{
    if (address.isEmpty() || !isAsciiLetter(address[0]))
        return {};
    for (qsizetype i = 1; i < address.size(); ++i) {
        const QChar c = address[i];
        if (c == u':')
            return address.left(i);
        if (!isAsciiLetter(c) && !c.isDigit() && c != u'+' && c != u'-' && c != u'.')
            return {};
    }
    return {};
}

bool acceptedScheme(QStringView scheme)
{
    static const char *const schemes[] = {"http", "https", "rtmp", "rtsp", "rtp",
                                          "udp",  "mms",   "mmsh", "file"};
    for (const char *accepted : schemes) {
        if (scheme.compare(QLatin1String(accepted), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool startsWithTag(QStringView line, const char *tag)
{
    return line.startsWith(QLatin1String(tag), Qt::CaseInsensitive);
}

// Relative addresses against the playlist's own address, or against its file's folder.
class Resolver
{
public:
    explicit Resolver(const QString &base)
    {
        // A one-letter "scheme" is a drive letter, not an address.
        if (schemeOf(base).size() > 1)
            m_url = QUrl(base);
        else if (!base.isEmpty())
            m_folder = QFileInfo(base).absolutePath();
    }

    // The address or local path a relative reference names; empty when there is no base.
    QString resolve(const QString &relative) const
    {
        if (!m_url.isEmpty())
            return m_url.resolved(QUrl(relative)).toString(QUrl::FullyEncoded);
        if (m_folder.isEmpty())
            return {};
        return QDir::cleanPath(relative.startsWith(u'/') ? relative : m_folder + u'/' + relative);
    }

private:
    QUrl m_url;
    QString m_folder;
};

// What an #EXTINF line says of its entry.
struct EntryInfo {
    QString name;
    QString tvgName;
    QString groupTitle;
    QString languages;
    bool radio = false;
};

EntryInfo readExtInf(QStringView info)
{
    EntryInfo entry;
    // The name follows the first comma outside quotes; after a quote left open, the first comma.
    qsizetype comma = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < info.size() && comma < 0; ++i) {
        if (info[i] == u'"')
            quoted = !quoted;
        else if (info[i] == u',' && !quoted)
            comma = i;
    }
    if (comma < 0)
        comma = info.indexOf(u',');
    const QStringView attributes = comma < 0 ? info : info.left(comma);
    if (comma >= 0)
        entry.name = info.mid(comma + 1).trimmed().toString();

    // key="value" pairs (or key=value); the duration before them has no "=".
    const qsizetype n = attributes.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && attributes[i].isSpace())
            ++i;
        const qsizetype keyStart = i;
        while (i < n && !attributes[i].isSpace() && attributes[i] != u'=')
            ++i;
        const QStringView key = attributes.sliced(keyStart, i - keyStart);
        if (i >= n || attributes[i] != u'=')
            continue;
        ++i;
        QStringView value;
        if (i < n && attributes[i] == u'"') {
            const qsizetype start = ++i;
            while (i < n && attributes[i] != u'"')
                ++i;
            value = attributes.sliced(start, i - start);
            if (i < n)
                ++i;
        } else {
            const qsizetype start = i;
            while (i < n && !attributes[i].isSpace())
                ++i;
            value = attributes.sliced(start, i - start);
        }
        if (key.compare(QLatin1String("group-title"), Qt::CaseInsensitive) == 0)
            entry.groupTitle = value.toString();
        else if (key.compare(QLatin1String("tvg-language"), Qt::CaseInsensitive) == 0)
            entry.languages = value.toString();
        else if (key.compare(QLatin1String("tvg-name"), Qt::CaseInsensitive) == 0)
            entry.tvgName = value.trimmed().toString();
        else if (key.compare(QLatin1String("radio"), Qt::CaseInsensitive) == 0)
            entry.radio = value.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }
    return entry;
}

// Whether "radio" stands as a word of its own in text ("Radio Rock", not "Radiohead").
bool hasRadioWord(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && !text[i].isLetterOrNumber())
            ++i;
        const qsizetype start = i;
        while (i < text.size() && text[i].isLetterOrNumber())
            ++i;
        if (text.sliced(start, i - start).compare(QLatin1String("radio"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void addType(QStringList &types, const QString &type)
{
    if (!type.isEmpty() && !types.contains(type, Qt::CaseInsensitive))
        types.append(type);
}

// The channel list separates fields with "|" and types with "/": inside a group, both become "-".
void addGroups(QStringView groups, QStringList &types, bool &radio)
{
    for (const QStringView part : groups.split(u';')) {
        QString group = part.trimmed().toString();
        group.replace(u'/', u'-').replace(u'|', u'-');
        if (hasRadioWord(group))
            radio = true;
        addType(types, group);
    }
}

void addLanguages(QStringView languages, QStringList &types)
{
    for (const QStringView part : languages.split(u';')) {
        for (const QStringView language : part.split(u','))
            addType(types, language.trimmed().toString().replace(u'|', u'-'));
    }
}

// A name for an entry that has none: the last part of the address's path, or its host.
QString nameOfAddress(const QString &address)
{
    if (schemeOf(address).isEmpty()) {
        const QString file = QFileInfo(address).fileName();
        return file.isEmpty() ? address : file;
    }
    const QUrl url(address);
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.isEmpty() && !path.endsWith(u'/'))
        return path.mid(path.lastIndexOf(u'/') + 1);
    return url.host().isEmpty() ? address : url.host();
}

// "|" separates the channel list's fields and a line break its lines.
QString cleanName(QString name)
{
    name.replace(u'|', u'/');
    name.remove(u'\r').remove(u'\n');
    return name;
}

} // namespace

bool IsPlaylistAddress(const QString &address)
{
    return acceptedScheme(schemeOf(address));
}

M3UPlaylist ReadM3U(QByteArrayView text, const QString &base)
{
    M3UPlaylist playlist;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    const Resolver resolver(base);
    bool pending = false; // an #EXTINF waits for its address
    QString info;         // that #EXTINF after its ":"
    QString group;        // the #EXTGRP of the entry under way

    const auto addEntry = [&](const EntryInfo &entry, const QString &address) {
        QStringList types;
        bool radio = entry.radio;
        addGroups(entry.groupTitle.trimmed().isEmpty() ? QStringView(group) : QStringView(entry.groupTitle),
                  types, radio);
        addLanguages(entry.languages, types);
        QString name = entry.name.isEmpty() ? entry.tvgName : entry.name;
        if (name.isEmpty())
            name = nameOfAddress(address);
        playlist.channels.append({cleanName(name), radio ? QStringLiteral("Radio") : QStringLiteral("TV"),
                                  address, types.isEmpty() ? QStringLiteral("Imported") : types.join(u'/')});
    };

    platform::forEachLine(text, platform::LineEnds::CrLfOrLf, [&](QByteArrayView bytes) {
        QString line = platform::textOfUtf8(bytes);
        line.remove(u'\r');
        line = line.trimmed();
        if (line.isEmpty())
            return;
        if (line.startsWith(u'#')) {
            if (startsWithTag(line, "#EXTINF:")) {
                // An entry still waiting for its address never gets one, nor its group.
                if (pending) {
                    ++playlist.skipped;
                    group.clear();
                }
                pending = true;
                info = line.mid(8);
            } else if (startsWithTag(line, "#EXTGRP:")) {
                group = line.mid(8);
            }
            return;
        }
        // Players take what follows a "|" for request headers (User-Agent=...).
        QString address = line.left(line.indexOf(u'|')).trimmed();
        const bool hadInfo = pending;
        pending = false;
        bool local = false;
        if (hadInfo && !address.isEmpty() && schemeOf(address).isEmpty()) {
            address = resolver.resolve(address);
            local = !address.isEmpty() && schemeOf(address).isEmpty();
        }
        if (address.isEmpty() || (!local && !acceptedScheme(schemeOf(address)))) {
            ++playlist.skipped;
        } else {
            addEntry(hadInfo ? readExtInf(info) : EntryInfo(), address);
        }
        group.clear();
    });
    if (pending)
        ++playlist.skipped;
    return playlist;
}
