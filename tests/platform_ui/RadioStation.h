// An internet radio on loopback: an endless MP3 with the station's name and the titles it plays
// in ICY metadata, sent at the pace it plays. It can answer late, cut the play and refuse for a
// while, as real stations do.
#pragma once

#include "tests/support/ScriptedServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <atomic>
#include <string>

namespace testmedia
{

class RadioStation
{
public:
    RadioStation() : m_server([this](testsupport::ScriptedConnection &c) { serve(c); })
    {
        QFile file(QStringLiteral(CD_SOURCE_DIR "/tests/platform_ui/media/tone.mp3"));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray data = file.readAll();
            // Looped, the tag at its start would sit between the frames.
            qsizetype start = 0;
            if (data.startsWith("ID3") && data.size() > 10)
                start = 10 + ((data[6] & 0x7f) << 21 | (data[7] & 0x7f) << 14 | (data[8] & 0x7f) << 7 |
                              (data[9] & 0x7f));
            m_sound = data.mid(start).toStdString();
        }
    }

    QString url() const { return m_server.url(QStringLiteral("/radio")); }
    bool ready() const { return !m_sound.empty(); }

    // The song now on the air: "Walk Band - Song <n>".
    std::atomic<int> song{1};
    // Replies wait this long before their headers.
    std::atomic<int> delayMs{0};
    // While set, every request is answered "503 Service Unavailable".
    std::atomic<bool> refusing{false};
    // The play under way ends (the server hangs up) when set.
    std::atomic<bool> cut{false};
    std::atomic<int> requests{0};

private:
    static constexpr int kMetaInterval = 2000; // bytes of sound between titles; 0.5 s at 32 kbit/s
    static constexpr int kBytesPerSecond = 4000;

    void serve(testsupport::ScriptedConnection &c)
    {
        if (!c.readRequest())
            return;
        ++requests;
        if (delayMs > 0 && !c.pause(delayMs))
            return;
        if (refusing) {
            c.send("HTTP/1.0 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
            return;
        }
        cut = false;
        if (!c.send("HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-name: Walk Radio\r\nicy-metaint: " +
                    std::to_string(kMetaInterval) + "\r\n\r\n"))
            return;
        QElapsedTimer clock;
        clock.start();
        size_t at = 0;
        int sentTitle = 0;
        for (long long sent = 0; !cut; sent += kMetaInterval) {
            std::string block;
            while (block.size() < size_t(kMetaInterval)) {
                const size_t take = std::min(m_sound.size() - at, size_t(kMetaInterval) - block.size());
                block += m_sound.substr(at, take);
                at = (at + take) % m_sound.size();
            }
            std::string meta(1, '\0');
            if (song != sentTitle) {
                sentTitle = song;
                std::string text = "StreamTitle='Walk Band - Song " + std::to_string(sentTitle) + "';";
                text.resize((text.size() + 15) / 16 * 16, '\0');
                meta = std::string(1, char(text.size() / 16)) + text;
            }
            if (!c.send(block + meta))
                return;
            // Two seconds ahead, as a station fills a player's buffer; then at the pace of the play.
            const long long due = (sent + kMetaInterval) * 1000 / kBytesPerSecond - 2000;
            if (due > clock.elapsed() && !c.pause(int(due - clock.elapsed())))
                return;
        }
    }

    std::string m_sound;
    testsupport::ScriptedServer m_server;
};

} // namespace testmedia
