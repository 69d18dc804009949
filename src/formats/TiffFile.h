#pragma once

// libtiff opened over a Qt device, for the TIFF readers: the file is read
// through the device the picture loader opened, never opened again by name.
#include <QIODevice>
#include <QString>

#include <memory>
#include <tiffio.h>

namespace libtiff {

// Largest band read at once, and libtiff's largest single allocation.
constexpr qint64 MaxBandBytes = 512LL << 20;

struct Closer {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using Handle = std::unique_ptr<TIFF, Closer>;

// The first directory of the TIFF on device; throws 481 when there is none.
// libtiff's warnings and errors stay quiet: a damaged file is a 481.
Handle open(QIODevice* device);

template <class T> T tag(TIFF* tif, ttag_t which) {
    T value{};
    TIFFGetFieldDefaulted(tif, which, &value);
    return value;
}

[[noreturn]] void invalid(const char* why);

} // namespace libtiff
