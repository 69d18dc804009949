#include "support/MediaFixtures.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QtEndian>
#include <cmath>

namespace MediaFixtures {

namespace {

constexpr int Rate = 8000;

void le16(QByteArray& b, quint16 v) { b.append(char(v & 0xff)).append(char(v >> 8)); }
void le32(QByteArray& b, quint32 v) { le16(b, quint16(v & 0xffff)); le16(b, quint16(v >> 16)); }
void be16(QByteArray& b, quint16 v) { b.append(char(v >> 8)).append(char(v & 0xff)); }
void be32(QByteArray& b, quint32 v) { be16(b, quint16(v >> 16)); be16(b, quint16(v & 0xffff)); }

QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray out(id, 4);
    le32(out, quint32(body.size()));
    out += body;
    if (body.size() % 2) out.append('\0');
    return out;
}

QByteArray list(const char* type, const QByteArray& body) {
    return chunk("LIST", QByteArray(type, 4) + body);
}

double sample(int i) { return 0.5 * std::sin(2 * M_PI * 440.0 * i / Rate); }

quint8 muLaw(int pcm) {
    const int bias = 0x84;
    int sign = pcm < 0 ? 0x80 : 0;
    int magnitude = std::min(std::abs(pcm), 32635) + bias;
    int exponent = 7;
    for (int mask = 0x4000; !(magnitude & mask) && exponent > 0; mask >>= 1) --exponent;
    const int mantissa = (magnitude >> (exponent + 3)) & 0x0f;
    return quint8(~(sign | (exponent << 4) | mantissa));
}

QByteArray wavData(int samples, WavFormat format, quint16& tag, quint16& bits, quint16& align) {
    QByteArray data;
    switch (format) {
    case WavFormat::Pcm8:
        tag = 1, bits = 8, align = 1;
        for (int i = 0; i < samples; ++i) data.append(char(quint8(128 + 127 * sample(i))));
        break;
    case WavFormat::Pcm16:
        tag = 1, bits = 16, align = 2;
        for (int i = 0; i < samples; ++i) le16(data, quint16(qint16(32767 * sample(i))));
        break;
    case WavFormat::Pcm24:
        tag = 1, bits = 24, align = 3;
        for (int i = 0; i < samples; ++i) {
            const qint32 v = qint32(8388607 * sample(i));
            data.append(char(v & 0xff)).append(char((v >> 8) & 0xff)).append(char((v >> 16) & 0xff));
        }
        break;
    case WavFormat::Float32:
        tag = 3, bits = 32, align = 4;
        for (int i = 0; i < samples; ++i) {
            const float f = float(sample(i));
            quint32 raw;
            memcpy(&raw, &f, 4);
            le32(data, raw);
        }
        break;
    case WavFormat::MuLaw:
        tag = 7, bits = 8, align = 1;
        for (int i = 0; i < samples; ++i) data.append(char(muLaw(int(32767 * sample(i)))));
        break;
    case WavFormat::ImaAdpcm:
        // Blocks of 256 bytes: a 4-byte header, then 504 four-bit samples of silence.
        tag = 0x11, bits = 4, align = 256;
        for (int block = 0; block < samples / 505 + 1; ++block) {
            data.append(QByteArray(4, '\0'));
            data.append(QByteArray(252, '\0'));
        }
        break;
    }
    return data;
}

} // namespace

QByteArray wav(double seconds, WavFormat format) {
    const int samples = int(seconds * Rate);
    quint16 tag = 1, bits = 16, align = 2;
    const QByteArray data = wavData(samples, format, tag, bits, align);
    QByteArray fmt;
    le16(fmt, tag);
    le16(fmt, 1); // mono
    le32(fmt, Rate);
    le32(fmt, format == WavFormat::ImaAdpcm ? Rate * 256 / 505 : Rate * align);
    le16(fmt, align);
    le16(fmt, bits);
    if (format == WavFormat::ImaAdpcm) {
        le16(fmt, 2);   // extra bytes
        le16(fmt, 505); // samples per block
    }
    QByteArray body = "WAVE" + chunk("fmt ", fmt);
    if (tag != 1) {
        QByteArray fact;
        le32(fact, quint32(samples));
        body += chunk("fact", fact);
    }
    body += chunk("data", data);
    return chunk("RIFF", body);
}

QByteArray au(double seconds) {
    const int samples = int(seconds * Rate);
    QByteArray out(".snd");
    be32(out, 24);                   // header size
    be32(out, quint32(samples * 2)); // data size
    be32(out, 3);                    // 16-bit linear PCM
    be32(out, Rate);
    be32(out, 1);
    for (int i = 0; i < samples; ++i) be16(out, quint16(qint16(32767 * sample(i))));
    return out;
}

QByteArray midi(double seconds) {
    // 480 ticks a quarter note at the default 120 beats a minute: 960 ticks a second.
    QByteArray track;
    const int notes = std::max(1, int(seconds * 2));
    for (int n = 0; n < notes; ++n) {
        track += QByteArray::fromHex("00903C64");                   // note on, middle C
        track += QByteArray::fromHex("83603C00");                   // 480 ticks later: off
    }
    track += QByteArray::fromHex("00FF2F00"); // end of track
    QByteArray out("MThd");
    be32(out, 6);
    be16(out, 0);
    be16(out, 1);
    be16(out, 480);
    out += "MTrk";
    be32(out, quint32(track.size()));
    return out + track;
}

QByteArray aviMjpeg(int frames, int width, int height) {
    QList<QByteArray> jpegs;
    quint32 largest = 0;
    for (int f = 0; f < frames; ++f) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((f * 36) % 360, 255, 255));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPEG", 80);
        largest = std::max(largest, quint32(jpeg.size()));
        jpegs << jpeg;
    }
    const quint32 usPerFrame = 100000;
    QByteArray avih;
    for (quint32 v : {usPerFrame, largest * 10, 0u, 0x10u /* has index */, quint32(frames), 0u, 1u,
                      largest, quint32(width), quint32(height), 0u, 0u, 0u, 0u})
        le32(avih, v);
    QByteArray strh("vidsMJPG");
    for (quint32 v : {0u, 0u, 0u, 1u, 10u, 0u, quint32(frames), largest, 0xffffffffu, 0u})
        le32(strh, v);
    le16(strh, 0), le16(strh, 0), le16(strh, quint16(width)), le16(strh, quint16(height));
    QByteArray strf;
    for (quint32 v : {40u, quint32(width), quint32(height)}) le32(strf, v);
    le16(strf, 1);
    le16(strf, 24);
    strf += "MJPG";
    for (quint32 v : {quint32(width * height * 3), 0u, 0u, 0u, 0u}) le32(strf, v);
    const QByteArray hdrl =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));

    QByteArray movi;
    QByteArray index;
    for (const QByteArray& jpeg : jpegs) {
        index += "00dc";
        le32(index, 0x10); // key frame
        le32(index, quint32(movi.size() + 4));
        le32(index, quint32(jpeg.size()));
        movi += chunk("00dc", jpeg);
    }
    return chunk("RIFF", "AVI " + hdrl + list("movi", movi) + chunk("idx1", index));
}

} // namespace MediaFixtures
