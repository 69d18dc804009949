#pragma once

#include <QList>
#include <QRgb>

#include <vector>

// How a TIFF's samples make colours: the tags that matter, read once, and
// the conversion of one row of samples (one plane each, or all interleaved)
// to 0xAARRGGBB pixels.
struct TiffSamples {
    enum class Colour { Grey, InvertedGrey, Rgb, Palette, Cmyk, Lab };
    Colour colour = Colour::Grey;
    int bits = 8;               // per sample
    int format = 1;             // 1 unsigned, 2 signed, 3 floating point
    int perPixel = 1;           // samples per pixel, extra samples included
    int colours = 1;            // of which colour samples
    bool alpha = false;         // the sample after the colours is alpha
    bool premultiplied = false; // the colours are multiplied by it (associated alpha)
    bool separate = false;      // one plane per sample
    bool iccLab = false;        // a* and b* stored with an offset of half their range
    double low = 0, high = 1;   // the range floating-point samples span
    QList<QRgb> palette;

    // True when the tags describe something this conversion covers.
    bool valid() const;
    // width pixels from planes[0] (interleaved) or planes[0..perPixel-1].
    void convert(const unsigned char* const* planes, int width, QRgb* out) const;

  private:
    void unpack(const unsigned char* row, int count, float* out) const;
    mutable std::vector<float> values_;
};
