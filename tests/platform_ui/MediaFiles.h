// Media the player tests play: a tone as WAV and a plain-coloured picture as raw video.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <string>

namespace testmedia
{

// A mono 16-bit PCM tone.
inline std::string makeWav(int seconds, int rate = 8000)
{
    const int samples = seconds * rate;
    std::string data(44 + samples * 2, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian<quint32>(v, data.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian<quint16>(v, data.data() + at); };
    memcpy(data.data(), "RIFF", 4);
    put32(4, quint32(36 + samples * 2));
    memcpy(data.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, quint32(rate));
    put32(28, quint32(rate * 2));
    put16(32, 2);
    put16(34, 16);
    memcpy(data.data() + 36, "data", 4);
    put32(40, quint32(samples * 2));
    for (int i = 0; i < samples; ++i)
        put16(44 + i * 2, quint16(qint16(8000 * std::sin(2 * M_PI * 440.0 * i / rate))));
    return data;
}

// Raw YUV 4:2:0 frames of one plain colour (red unless told), 25 a second.
inline QByteArray makeVideo(int seconds = 10, QColor colour = Qt::red, int width = 64, int height = 48)
{
    // Full-range (JPEG) BT.601, as the header's colour space says.
    const auto channel = [&](double r, double g, double b, double offset) {
        return char(qBound(
            0, int(std::lround(r * colour.red() + g * colour.green() + b * colour.blue() + offset)), 255));
    };
    const char y = channel(0.299, 0.587, 0.114, 0);
    const char u = channel(-0.1687, -0.3313, 0.5, 128);
    const char v = channel(0.5, -0.4187, -0.0813, 128);
    QByteArray data =
        QStringLiteral("YUV4MPEG2 W%1 H%2 F25:1 Ip A1:1 C420jpeg\n").arg(width).arg(height).toLatin1();
    const QByteArray frame = "FRAME\n" + QByteArray(width * height, y) + QByteArray(width * height / 4, u) +
                             QByteArray(width * height / 4, v);
    for (int i = 0; i < seconds * 25; ++i)
        data += frame;
    return data;
}

} // namespace testmedia
