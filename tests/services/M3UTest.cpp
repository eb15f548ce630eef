// The M3U reader on every shape of playlist it meets: the header, line ends and byte-order
// mark, #EXTINF names and attributes, lines between an #EXTINF and its address, bare
// addresses, addresses cut and resolved, groups, categories and types; and a round trip of
// random entries.
#include "services/modM3U.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

namespace
{

M3UPlaylist read(const QString &text, const QString &base = QStringLiteral("/lists/playlist.m3u"))
{
    const QByteArray utf8 = text.toUtf8();
    return ReadM3U(utf8, base);
}

M3UChannel channel(const QString &name, const QString &url, const QString &types = QStringLiteral("Imported"),
                   const QString &category = QStringLiteral("TV"))
{
    return {name, category, url, types};
}

QStringList names(const M3UPlaylist &playlist)
{
    QStringList list;
    for (const M3UChannel &c : playlist.channels)
        list.append(c.name);
    return list;
}

} // namespace

TEST(M3U, HeaderByteOrderMarkAndLineEndsDoNotChangeWhatIsRead)
{
    const QByteArray body = "#EXTINF:-1 group-title=\"News\",One\n"
                            "http://a.example/1.ts\n"
                            "\n"
                            "#EXTINF:10,Two\n"
                            "http://a.example/2.ts\n";
    const QList<M3UChannel> expected = {channel("One", "http://a.example/1.ts", "News"),
                                        channel("Two", "http://a.example/2.ts")};
    QByteArray crlf = body;
    crlf.replace("\n", "\r\n");
    for (const QByteArray &text :
         {body, "#EXTM3U\n" + body,
          "\xEF\xBB\xBF#EXTM3U url-tvg=\"http://g.example/e.xml\" x-tvg-url=\"\"\r\n" + crlf,
          "\xEF\xBB\xBF" + body, crlf, "#EXTM3U\r\n" + crlf.chopped(2)}) {
        const M3UPlaylist playlist = ReadM3U(text, QString());
        EXPECT_EQ(playlist.channels, expected) << text.constData();
        EXPECT_EQ(playlist.skipped, 0) << text.constData();
    }
}

TEST(M3U, NameFollowsTheFirstCommaOutsideQuotesAndKeepsCommasQuotesAndEveryScript)
{
    const M3UPlaylist playlist =
        read(QStringLiteral("#EXTM3U\n"
                            "#EXTINF:-1 tvg-id=\"a,b\" tvg-name=\"Other, name\" group-title=\"News, Live\",  "
                            "Name, with \"quotes\", "
                            "and commas  \n"
                            "http://a.example/1\n"
                            "#EXTINF:-1,Первый канал | HD\n"
                            "http://a.example/2\n"
                            "#EXTINF:-1,قناة الجزيرة 📺\n"
                            "http://a.example/3\n"
                            "#EXTINF:-1 tvg-name=\"From the attribute\",\n"
                            "http://a.example/live/4.m3u8\n"
                            "#EXTINF:-1,\n"
                            "http://a.example/live/5.m3u8?token=1\n"
                            "#EXTINF:-1 tvg-name=\"open quote,Name after an open quote\n"
                            "http://a.example/6\n"
                            "#EXTINF:-1 group-title=Unquoted tvg-language=German,Plain\tTab\n"
                            "http://a.example/7\n"));
    EXPECT_EQ(names(playlist),
              (QStringList{"Name, with \"quotes\", and commas", "Первый канал / HD", "قناة الجزيرة 📺",
                           "From the attribute", "5.m3u8", "Name after an open quote", "Plain\tTab"}));
    EXPECT_EQ(playlist.channels.first().types, QStringLiteral("News, Live"));
    EXPECT_EQ(playlist.channels.last().types, QStringLiteral("Unquoted/German"));
    EXPECT_EQ(playlist.skipped, 0);
}

TEST(M3U, OptionLinesBetweenAnEntryAndItsAddressAndOtherCommentsAreSkipped)
{
    const M3UPlaylist playlist = read(QStringLiteral("#EXTM3U\n"
                                                     "# a comment\n"
                                                     "#EXTINF:-1,One\n"
                                                     "#EXTVLCOPT:http-user-agent=Mozilla/5.0\n"
                                                     "#KODIPROP:inputstream=inputstream.adaptive\n"
                                                     "#EXTGRP:Sport\n"
                                                     "\n"
                                                     "#PLAYLIST:whatever\n"
                                                     "   http://a.example/1.ts   \n"
                                                     "#EXT-X-SOMETHING\n"));
    EXPECT_EQ(playlist.channels, (QList<M3UChannel>{channel("One", "http://a.example/1.ts", "Sport")}));
    EXPECT_EQ(playlist.skipped, 0);
}

TEST(M3U, BareAddressesOfTheAcceptedSchemesAreEntriesNamedAfterTheirPathOrHost)
{
    const M3UPlaylist playlist = read(QStringLiteral("http://a.example/live/news.m3u8\n"
                                                     "HTTPS://b.example/radio/\n"
                                                     "rtmp://c.example/app/stream1\n"
                                                     "rtsp://d.example:554/cam\n"
                                                     "rtp://@239.0.0.1:5004\n"
                                                     "udp://@239.0.0.2:1234\n"
                                                     "mms://e.example/tv\n"
                                                     "mmsh://f.example/My%20Show.asf\n"
                                                     "file:///home/me/clip.mp4\n"
                                                     "ftp://g.example/x.ts\n"
                                                     "clip.mp4\n"
                                                     "plugin://something\n"));
    EXPECT_EQ(names(playlist), (QStringList{"news.m3u8", "b.example", "stream1", "cam", "239.0.0.1",
                                            "239.0.0.2", "tv", "My Show.asf", "clip.mp4"}));
    EXPECT_EQ(playlist.channels.at(1).url, QStringLiteral("HTTPS://b.example/radio/"));
    for (const M3UChannel &c : playlist.channels) {
        EXPECT_EQ(c.category, QStringLiteral("TV"));
        EXPECT_EQ(c.types, QStringLiteral("Imported"));
    }
    EXPECT_EQ(playlist.skipped, 3);
}

TEST(M3U, HeaderSuffixIsCutAndRelativeAddressesResolveAgainstWhereThePlaylistCameFrom)
{
    const QString text = QStringLiteral("#EXTINF:-1,Cut\n"
                                        "http://a.example/1.m3u8|User-Agent=Mozilla&Referer=http://r/\n"
                                        "#EXTINF:-1,Beside\n"
                                        "media/clip 1.mp4\n"
                                        "#EXTINF:-1,Up\n"
                                        "../up.ts|Referer=x\n"
                                        "#EXTINF:-1,Rooted\n"
                                        "/root/x.ts\n"
                                        "udp://@239.0.0.3:1234|x\n");
    const M3UPlaylist fromServer = read(text, QStringLiteral("http://s.example/lists/tv.m3u?key=1"));
    QStringList urls;
    for (const M3UChannel &c : fromServer.channels)
        urls.append(c.url);
    EXPECT_EQ(urls,
              (QStringList{"http://a.example/1.m3u8", "http://s.example/lists/media/clip%201.mp4",
                           "http://s.example/up.ts", "http://s.example/root/x.ts", "udp://@239.0.0.3:1234"}));

    const M3UPlaylist fromFile = read(text, QStringLiteral("/home/me/lists/tv.m3u"));
    urls.clear();
    for (const M3UChannel &c : fromFile.channels)
        urls.append(c.url);
    EXPECT_EQ(urls, (QStringList{"http://a.example/1.m3u8", "/home/me/lists/media/clip 1.mp4",
                                 "/home/me/up.ts", "/root/x.ts", "udp://@239.0.0.3:1234"}));

    // Relative and without an #EXTINF, a line is no entry; nor is a relative one with nothing
    // to resolve it against.
    EXPECT_EQ(read(QStringLiteral("media/clip.mp4\n"), QStringLiteral("/home/me/tv.m3u")).skipped, 1);
    const M3UPlaylist noBase = read(QStringLiteral("#EXTINF:-1,X\nclip.mp4\n"), QString());
    EXPECT_TRUE(noBase.channels.isEmpty());
    EXPECT_EQ(noBase.skipped, 1);
}

TEST(M3U, GroupsComeFromTheGroupTitleOrElseTheEntrysExtgrpWithTheirSeparatorsReplaced)
{
    const M3UPlaylist playlist =
        read(QStringLiteral("#EXTINF:-1 group-title=\"News;Sport ; ;Kids/Family\",Many\n"
                            "#EXTGRP:Ignored\n"
                            "http://a.example/1\n"
                            "#EXTINF:-1,Grouped after\n"
                            "#EXTGRP:Music|Pop\n"
                            "http://a.example/2\n"
                            "#EXTGRP:Movies\n"
                            "#EXTINF:-1 group-title=\"\",Grouped before\n"
                            "http://a.example/3\n"
                            "#EXTINF:-1,Not grouped\n"
                            "http://a.example/4\n"
                            "#EXTINF:-1,Lost\n"
                            "#EXTGRP:Of the lost one\n"
                            "#EXTINF:-1,After the lost one\n"
                            "http://a.example/5\n"));
    QStringList types;
    for (const M3UChannel &c : playlist.channels)
        types.append(c.types);
    EXPECT_EQ(types, (QStringList{"News/Sport/Kids-Family", "Music-Pop", "Movies", "Imported", "Imported"}));
    EXPECT_EQ(playlist.skipped, 1);
}

TEST(M3U, RadioByAWordOfAGroupOrTheRadioAttributeAndTypesAfterGroupsThenLanguages)
{
    const M3UPlaylist playlist = read(QStringLiteral(
        "#EXTINF:-1 group-title=\"Radio Rock\" tvg-language=\"English;Spanish, "
        "French\",A\nhttp://a.example/1\n"
        "#EXTINF:-1 group-title=\"Radiohead\",B\nhttp://a.example/2\n"
        "#EXTINF:-1 group-title=\"News;web-RADIO\",C\nhttp://a.example/3\n"
        "#EXTINF:-1 radio=\"true\",D\nhttp://a.example/4\n"
        "#EXTINF:-1 radio=\"false\" tvg-language=\"German\",E\nhttp://a.example/5\n"
        "#EXTINF:-1,F\n#EXTGRP:My Radio\nhttp://a.example/6\n"
        "#EXTINF:-1 group-title=\"English\" tvg-language=\"english;Bad|Lang\",G\nhttp://a.example/7\n"));
    const QList<M3UChannel> expected = {
        channel("A", "http://a.example/1", "Radio Rock/English/Spanish/French", "Radio"),
        channel("B", "http://a.example/2", "Radiohead"),
        channel("C", "http://a.example/3", "News/web-RADIO", "Radio"),
        channel("D", "http://a.example/4", "Imported", "Radio"),
        channel("E", "http://a.example/5", "German"),
        channel("F", "http://a.example/6", "My Radio", "Radio"),
        channel("G", "http://a.example/7", "English/Bad-Lang"),
    };
    EXPECT_EQ(playlist.channels, expected);
}

TEST(M3U, NoFieldHoldsALineBreakOrABar)
{
    QByteArray text = "#EXTINF:-1 group-title=\"A\rB\",Name\rwith a CR\r\n"
                      "http://a.example/x\ry|z\r\n"
                      "#EXTINF:-1,\r\n"
                      "http://a.example/%0Aname%7Cbar\r\n";
    const M3UPlaylist playlist = ReadM3U(text, QString());
    ASSERT_EQ(playlist.channels.size(), 2);
    for (const M3UChannel &c : playlist.channels) {
        for (const QString &field : {c.name, c.category, c.url, c.types}) {
            EXPECT_FALSE(field.contains(u'\r')) << field.toStdString();
            EXPECT_FALSE(field.contains(u'\n')) << field.toStdString();
            EXPECT_FALSE(field.contains(u'|')) << field.toStdString();
        }
    }
    EXPECT_EQ(playlist.channels.at(0).name, QStringLiteral("Namewith a CR"));
    EXPECT_EQ(playlist.channels.at(0).url, QStringLiteral("http://a.example/xy"));
    EXPECT_EQ(playlist.channels.at(1).name, QStringLiteral("name/bar"));
}

TEST(M3U, EntriesWithoutAnAddressOrWithAnotherSchemeAreCountedAsSkipped)
{
    const M3UPlaylist playlist = read(QStringLiteral("#EXTM3U\n"
                                                     "#EXTINF:-1,No address before the next entry\n"
                                                     "#EXTINF:-1,Kept\n"
                                                     "http://a.example/1\n"
                                                     "#EXTINF:-1,Other scheme\n"
                                                     "plugin://plugin.video.x/?id=1\n"
                                                     "#EXTINF:-1,Only a header suffix\n"
                                                     "|User-Agent=x\n"
                                                     "acestream://1234\n"
                                                     "#EXTINF:-1,No address at the end\n"));
    EXPECT_EQ(names(playlist), QStringList{"Kept"});
    EXPECT_EQ(playlist.skipped, 5);
}

TEST(M3U, PagesAndOtherTextsHoldNoEntries)
{
    for (const QByteArray &text :
         {QByteArray("<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head>\n"
                     "<body><a href=\"http://a.example/\">home</a></body></html>\n"),
          QByteArray(), QByteArray("#EXTM3U\n"), QByteArray("[playlist]\nFile1=http://a.example/1\n"),
          QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)}) {
        EXPECT_TRUE(ReadM3U(text, QStringLiteral("http://s.example/list.m3u")).channels.isEmpty())
            << text.constData();
    }
}

TEST(M3U, AcceptedSchemesIgnoreLetterCaseAndNeedTheirColon)
{
    for (const char *address : {"http://a", "HTTPS://a", "Rtmp://a", "rtsp://a", "rtp://a", "udp://a",
                                "mms://a", "mmsh://a", "file:///a"})
        EXPECT_TRUE(IsPlaylistAddress(QLatin1String(address))) << address;
    for (const char *address :
         {"ftp://a", "httpx://a", "http", "/home/a.ts", "a.ts", "", "c:\\a.ts", "rtmps://a"})
        EXPECT_FALSE(IsPlaylistAddress(QLatin1String(address))) << address;
}

namespace
{

// A random text of characters from several scripts, commas, quotes and blanks inside, but no
// "|", CR, LF, and no white space at either end.
QString randomText(QRandomGenerator &random, const QString &extraBanned = QString())
{
    static const QString pool = QStringLiteral("abcXYZ019 ,\"'#=:;/-_().!?äßéЖжπ中文ع📺\t");
    QString text;
    const int length = 1 + int(random.bounded(12));
    while (text.size() < length) {
        const QString c = pool.mid(int(random.bounded(pool.size())), 1);
        if (c == QStringLiteral("📺").left(1) || c == QStringLiteral("📺").mid(1)) {
            text += QStringLiteral("📺");
            continue;
        }
        if (!extraBanned.contains(c))
            text += c;
    }
    while (!text.isEmpty() && text.front().isSpace())
        text.remove(0, 1);
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text.isEmpty() ? QStringLiteral("x") : text;
}

} // namespace

TEST(M3U, RandomEntriesWrittenAsAPlaylistReadBackAsTheSameChannels)
{
    QRandomGenerator random(20240531);
    for (int round = 0; round < 200; ++round) {
        QList<M3UChannel> written;
        QByteArray text = random.bounded(2) ? "#EXTM3U\n" : "";
        const int entries = 1 + int(random.bounded(8));
        for (int i = 0; i < entries; ++i) {
            M3UChannel c;
            c.name = randomText(random);
            c.url = QStringLiteral("http://h%1.example/s/%2.m3u8").arg(round).arg(i);
            const bool radio = random.bounded(3) == 0;
            c.category = radio ? QStringLiteral("Radio") : QStringLiteral("TV");
            // Groups and languages hold none of their separators, quotes or the word "radio".
            QStringList groups, languages;
            for (int g = int(random.bounded(3)); g > 0; --g)
                groups.append(randomText(random, QStringLiteral("\";,/")));
            for (int l = int(random.bounded(3)); l > 0; --l)
                languages.append(randomText(random, QStringLiteral("\";,/")));
            groups.removeDuplicates();
            languages.removeDuplicates();
            QStringList types;
            for (const QString &t : groups + languages) {
                if (!types.contains(t, Qt::CaseInsensitive))
                    types.append(t);
            }
            c.types = types.isEmpty() ? QStringLiteral("Imported") : types.join(u'/');
            QString info = QStringLiteral("#EXTINF:-1");
            if (!groups.isEmpty())
                info += QStringLiteral(" group-title=\"%1\"").arg(groups.join(u';'));
            if (!languages.isEmpty())
                info += QStringLiteral(" tvg-language=\"%1\"").arg(languages.join(u','));
            if (radio)
                info += QStringLiteral(" radio=\"true\"");
            text += (info + u',' + c.name + u'\n' + c.url + u'\n').toUtf8();
            if (random.bounded(2))
                text += "#EXTVLCOPT:network-caching=1000\n\n";
            written.append(c);
        }
        if (random.bounded(2))
            text.replace("\n", "\r\n");
        const M3UPlaylist playlist = ReadM3U(text, QString());
        ASSERT_EQ(playlist.channels, written) << text.constData();
        ASSERT_EQ(playlist.skipped, 0);
    }
}
