#include "bench/BenchData.h"

#include <random>

namespace bench
{
namespace
{

const char *const categories[] = {"TV",    "TV",    "TV",    "TV",    "TV",    "TV",    "TV",
                                  "TV",    "TV",    "Radio", "Radio", "Radio", "Radio", "Radio",
                                  "Radio", "Video", "Video", "Video", "Video", "XXX"};
const char *const languages[] = {"English",   "Spanish",  "French",  "German", "Italian",    "Portuguese",
                                 "Dutch",     "Polish",   "Russian", "Arabic", "Turkish",    "Greek",
                                 "Chinese",   "Japanese", "Korean",  "Hindi",  "Swedish",    "Czech",
                                 "Hungarian", "Romanian", "Persian", "Thai",   "Vietnamese", "Other"};
const char *const genres[] = {"News",     "Sports",   "Music",       "Movies",  "Kids",
                              "Religion", "Business", "Documentary", "Weather", "Talk"};
const char *const words[] = {"Star",   "City",  "Sun",  "Radio", "Channel", "Live",    "Max", "Prime", "Nova",
                             "Planet", "Metro", "Wave", "Nord",  "Sur",     "Classic", "Hit", "Alpha"};

// UTF-8, as Data.txt holds them.
const char *const accentedWords[] = {"Caf\xC3\xA9",
                                     "T\xC3\xA9l\xC3\xA9",
                                     "M\xC3\xBAsica",
                                     "Z\xC3\xBCrich",
                                     "\xC3\x98resund",
                                     "Krak\xC3\xB3w",
                                     "S\xC3\xA3o Paulo",
                                     "Stra\xC3\x9F"
                                     "e",
                                     "\xC3\x91"
                                     "and\xC3\xBA"};

} // namespace

QByteArray channelList(int lines, bool distinctTypes, bool accentedNames)
{
    std::mt19937 rng(12345u + unsigned(lines));
    const auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    QByteArray out;
    out.reserve(qsizetype(lines) * 110);
    for (int i = 1; i <= lines; ++i) {
        const QByteArray category = categories[pick(20)];
        QByteArray types;
        if (distinctTypes)
            types = "Type" + QByteArray::number(i);
        else {
            types = languages[pick(24)];
            if (pick(3) == 0)
                types += QByteArray("/") + genres[pick(10)];
        }
        QByteArray name = QByteArray(words[pick(17)]) + ' ' + words[pick(17)] + ' ' + QByteArray::number(i);
        if (accentedNames && i % 8 == 0)
            name = QByteArray(accentedWords[(i / 8) % 9]) + ' ' + name;
        if (pick(4) == 0)
            name = name.toUpper();
        const QByteArray url = "http://stream" + QByteArray::number(pick(90)) + ".example.net/live/" +
                               QByteArray::number(i) + (pick(2) ? ".m3u8" : ".asx");
        const QByteArray count = QByteArray::number(pick(1000000));
        static const char *const ratings[] = {"", "3", "4", "5", "2.5", "4.5", "3.75"};
        out += QByteArray::number(i) + '|' + name + '|' + category + '|' + url + '|' + types +
               "|1/1/08|2/3/09|" + count + '|' + ratings[pick(7)] + "|\r\n";
    }
    return out;
}

QByteArray playlist(int entries)
{
    std::mt19937 rng(777u + unsigned(entries));
    const auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    QByteArray out = "#EXTM3U x-tvg-url=\"http://epg.example.net/guide.xml\"\r\n";
    out.reserve(qsizetype(entries) * 170);
    for (int i = 1; i <= entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        const bool radio = pick(5) == 0;
        const QByteArray group =
            radio ? QByteArray("Radio ") + genres[pick(10)] : QByteArray(genres[pick(10)]);
        out += "#EXTINF:-1 tvg-id=\"ch" + n + ".example\"";
        if (pick(2) == 0)
            out += " tvg-logo=\"http://logo.example.net/" + n + ".png\"";
        out += " tvg-language=\"" + QByteArray(languages[pick(24)]) + "\" group-title=\"" + group + "\"," +
               words[pick(17)] + ' ' + words[pick(17)] + ' ' + n + "\r\n";
        if (pick(10) == 0)
            out += "#EXTVLCOPT:http-user-agent=Mozilla/5.0\r\n";
        const int id = pick(50) == 0 ? 1 + pick(i) : i;
        out += "http://stream" + QByteArray::number(id % 90) + ".example.net/live/" + QByteArray::number(id) +
               "/index.m3u8\r\n";
    }
    return out;
}

QByteArray videoPage(int links, int page)
{
    QByteArray out = "<html><head><title>Results</title></head><body>\n";
    out.reserve(qsizetype(links) * 200);
    for (int i = 0; i < links; ++i) {
        // A third of the links point at videos of earlier pages or earlier on this one.
        const int video = (i % 3 == 2) ? (page * links + i) / 2 : page * links + i;
        const QByteArray id = "v" + QByteArray::number(video, 36).rightJustified(10, '0');
        out += "<div class=\"vEntry\"><a href=\"/watch?v=" + id + "\"><img src=\"/vi/" + id +
               "/default.jpg\"></a><div class=\"vTitle\"><a href=\"/watch?v=" + id + "\">Video &amp; " +
               QByteArray::number(video) + " title</a></div><span class=\"views\">" +
               QByteArray::number(i * 37) + " views</span></div>\n";
    }
    out += "</body></html>\n";
    return out;
}

QByteArray regFile(const QString &keyPath, int values)
{
    QByteArray out = "REGEDIT4\r\n\r\n[" + keyPath.toUtf8() + "]\r\n";
    for (int i = 0; i < values; ++i)
        out += "\"Value" + QByteArray::number(i) + "\"=\"text of value " + QByteArray::number(i) + "\"\r\n";
    out += "\r\n";
    return out;
}

} // namespace bench
