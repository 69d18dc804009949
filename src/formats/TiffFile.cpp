#include "formats/TiffFile.h"

#include "system/PlatformError.h"

namespace {

QIODevice* deviceOf(thandle_t h) {
    return static_cast<QIODevice*>(h);
}
tmsize_t readProc(thandle_t h, void* data, tmsize_t size) {
    return tmsize_t(deviceOf(h)->read(static_cast<char*>(data), size));
}
tmsize_t writeProc(thandle_t, void*, tmsize_t) {
    return -1;
}
toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    QIODevice* d = deviceOf(h);
    const qint64 base = whence == SEEK_CUR ? d->pos() : whence == SEEK_END ? d->size() : 0;
    const qint64 to = base + qint64(offset);
    return to >= 0 && d->seek(to) ? toff_t(to) : toff_t(-1);
}
int closeProc(thandle_t) {
    return 0;
}
toff_t sizeProc(thandle_t h) {
    return toff_t(deviceOf(h)->size());
}
int mapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void unmapProc(thandle_t, void*, toff_t) {}

int quietly(TIFF*, void*, const char*, const char*, va_list) {
    return 1; // a damaged file is reported as 481, not on the console
}

} // namespace

namespace libtiff {

void invalid(const char* why) {
    throw PlatformError(Err::InvalidPicture, QString::fromLatin1(why));
}

Handle open(QIODevice* device) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, quietly, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quietly, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, MaxBandBytes);
    Handle tif(TIFFClientOpenExt("picture", "rm", device, readProc, writeProc, seekProc, closeProc,
                                 sizeProc, mapProc, unmapProc, options));
    TIFFOpenOptionsFree(options);
    if (!tif) invalid("no TIFF directory could be read");
    return tif;
}

} // namespace libtiff
