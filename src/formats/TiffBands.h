#pragma once

#include <QSize>

#include <atomic>
#include <tiffio.h>

class BandScaler;
struct TiffSamples;

// Feeds the TIFF's stored rows, top to bottom, to the scaler, one band at a
// time: a row of a strip, a strip of planes or a row of tiles; bands with no
// row the scaler wants are not read. Throws 481
// when a band cannot be read or is too large, and once stop turns true.
void readBands(TIFF* tif, const TiffSamples& samples, QSize size, BandScaler& scaler,
               const std::atomic<bool>* stop);
