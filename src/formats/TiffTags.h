#pragma once

// The tags of a TIFF's first directory that its readers go by.
#include "formats/TiffSamples.h"

#include <QSize>

#include <tiffio.h>

namespace libtiff {

// The picture's size as stored; throws 481 for a size past any picture.
QSize storedSize(TIFF* tif);

// The tags, as a conversion of samples; perPixel is 0 when the conversion
// does not cover them (left to libtiff's RGBA reader).
TiffSamples samplesOf(TIFF* tif);

// Throws 481 for bitmap data that cannot be there: a strip past the end of
// the file, or fewer bytes than rawBytes need even at the best compression.
void checkStrips(TIFF* tif, qint64 fileSize, qint64 rawBytes);

} // namespace libtiff
