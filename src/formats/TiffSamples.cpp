#include "formats/TiffSamples.h"

#include <QFloat16>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// sRGB's transfer curve for linear light 0..1, as 0..255.
uint encoded(float linear) {
    static const auto table = [] {
        std::vector<uchar> t(4097);
        for (int i = 0; i <= 4096; ++i) {
            const double c = i / 4096.0;
            const double v = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
            t[size_t(i)] = uchar(std::lround(v * 255));
        }
        return t;
    }();
    return table[size_t(std::clamp(linear, 0.0f, 1.0f) * 4096 + 0.5f)];
}

// CIE L*a*b* relative to D50 (as TIFF stores it), to sRGB with the white
// adapted to D65 (Bradford): white stays white.
QRgb fromLab(float l, float a, float b) {
    const float fy = (l + 16) / 116, fx = fy + a / 500, fz = fy - b / 200;
    const auto inverse = [](float t) {
        return t > 6.0f / 29 ? t * t * t : 3 * (6.0f / 29) * (6.0f / 29) * (t - 4.0f / 29);
    };
    const float x = 0.96422f * inverse(fx), y = inverse(fy), z = 0.82521f * inverse(fz);
    return qRgb(encoded(3.1338561f * x - 1.6168667f * y - 0.4906146f * z),
                encoded(-0.9787684f * x + 1.9161415f * y + 0.0334540f * z),
                encoded(0.0719453f * x - 0.2289914f * y + 1.4052427f * z));
}

uint byte(float v) {
    return uint(std::clamp(v, 0.0f, 1.0f) * 255 + 0.5f);
}

} // namespace

bool TiffSamples::valid() const {
    const bool wholeBytes = bits == 8 || bits == 16 || bits == 32 || bits == 64;
    if (format == 3 && !(bits == 16 || bits == 32 || bits == 64)) return false;
    if (format == 2 && !wholeBytes) return false;
    if (bits < 1 || bits > 64 || (bits > 16 && !wholeBytes)) return false;
    if (colour == Colour::Palette && (palette.isEmpty() || format != 1 || bits > 16)) return false;
    return perPixel >= colours + (alpha ? 1 : 0) && perPixel <= 16;
}

// Each sample as a number: integers as they are stored (signed ones
// signed), floating-point ones as they are.
void TiffSamples::unpack(const unsigned char* s, int count, float* out) const {
    if (bits == 8) {
        for (int i = 0; i < count; ++i)
            out[i] = format == 2 ? float(qint8(s[i])) : float(s[i]);
    } else if (bits == 16) {
        for (int i = 0; i < count; ++i) {
            quint16 v;
            std::memcpy(&v, s + 2 * i, 2);
            out[i] = format == 3   ? float(qFromUnaligned<qfloat16>(&v))
                     : format == 2 ? float(qint16(v))
                                   : float(v);
        }
    } else if (bits == 32) {
        for (int i = 0; i < count; ++i) {
            quint32 v;
            std::memcpy(&v, s + 4 * i, 4);
            float f;
            std::memcpy(&f, &v, 4);
            out[i] = format == 3 ? f : format == 2 ? float(qint32(v)) : float(v);
        }
    } else if (bits == 64) {
        for (int i = 0; i < count; ++i) {
            quint64 v;
            std::memcpy(&v, s + 8 * i, 8);
            double d;
            std::memcpy(&d, &v, 8);
            out[i] = format == 3 ? float(d) : format == 2 ? float(qint64(v)) : float(v);
        }
    } else { // packed, first sample in the highest bits
        quint64 bit = 0;
        for (int i = 0; i < count; ++i) {
            quint32 v = 0;
            for (int k = 0; k < bits; ++k, ++bit)
                v = v << 1 | ((s[bit >> 3] >> (7 - (bit & 7))) & 1);
            out[i] = float(v);
        }
    }
}

void TiffSamples::convert(const unsigned char* const* planes, int width, QRgb* out) const {
    if (bits == 8 && format == 1 && !separate &&
        (colour == Colour::Rgb || colour == Colour::Grey)) { // the common kinds, directly
        const unsigned char* s = planes[0];
        for (int x = 0; x < width; ++x, s += perPixel) {
            const uint a = alpha ? s[colours] : 255u;
            out[x] = colour == Colour::Rgb ? qRgba(s[0], s[1], s[2], int(a))
                                           : qRgba(s[0], s[0], s[0], int(a));
        }
        return;
    }
    const size_t n = size_t(width) * size_t(perPixel);
    if (values_.size() < n) values_.resize(n);
    float* v = values_.data();
    if (separate) { // interleaved here, as one plane would hold them
        std::vector<float> plane(static_cast<size_t>(width));
        for (int p = 0; p < perPixel; ++p) {
            unpack(planes[p], width, plane.data());
            for (int x = 0; x < width; ++x)
                v[size_t(x) * size_t(perPixel) + size_t(p)] = plane[size_t(x)];
        }
    } else {
        unpack(planes[0], int(n), v);
    }
    const float max = format == 1 ? float((quint64(1) << std::min(bits, 63)) - 1) : 0;
    const float half = format == 2 ? float(quint64(1) << (bits - 1)) : 0;
    // A sample brought to 0..1.
    const auto unit = [&](float raw) {
        if (format == 3) return float((raw - low) / (high - low));
        if (format == 2) return (raw + half) / (2 * half - 1);
        return raw / max;
    };
    for (int x = 0; x < width; ++x, v += perPixel) {
        const uint a = alpha ? byte(unit(v[colours])) : 255u;
        QRgb rgb = 0;
        switch (colour) {
        case Colour::Grey:
        case Colour::InvertedGrey: {
            const float g = unit(v[0]);
            const uint level = byte(colour == Colour::Grey ? g : 1 - g);
            rgb = qRgb(level, level, level);
            break;
        }
        case Colour::Rgb:
            rgb = qRgb(byte(unit(v[0])), byte(unit(v[1])), byte(unit(v[2])));
            break;
        case Colour::Palette:
            rgb = palette[std::min<qsizetype>(qsizetype(v[0]), palette.size() - 1)];
            break;
        case Colour::Cmyk: {
            const float k = 1 - unit(v[3]);
            rgb = qRgb(byte((1 - unit(v[0])) * k), byte((1 - unit(v[1])) * k),
                       byte((1 - unit(v[2])) * k));
            break;
        }
        case Colour::Lab: {
            // L* from 0 to 100; a* and b* signed, in units of one (or 1/256 in 16 bits).
            if (format == 3) {
                rgb = fromLab(v[0], v[1], v[2]);
                break;
            }
            const float wrap = float(quint64(1) << bits), scale = bits == 16 ? 256 : 1;
            const auto sign = [&](float raw) {
                if (iccLab) return (raw - wrap / 2) / scale;
                return (format == 1 && raw >= wrap / 2 ? raw - wrap : raw) / scale;
            };
            rgb = fromLab(v[0] * 100 / (wrap - 1), sign(v[1]), sign(v[2]));
            break;
        }
        }
        if (premultiplied) // never brighter than the alpha allows
            rgb = qRgb(qMin<uint>(qRed(rgb), a), qMin<uint>(qGreen(rgb), a),
                       qMin<uint>(qBlue(rgb), a));
        out[x] = (rgb & 0xffffff) | a << 24;
    }
}
