#include "formats/ExifOrientation.h"

#include <QTransform>

#include <libexif/exif-data.h>

#include <algorithm>
#include <memory>

int exifOrientation(QByteArrayView jpegStart) {
    // libexif finds the APP1 block itself and converts a tag stored with the
    // wrong integer type, which Qt's own reader ignores.
    const std::unique_ptr<ExifData, decltype(&exif_data_unref)> data(
        exif_data_new_from_data(reinterpret_cast<const unsigned char*>(jpegStart.data()),
                                unsigned(std::min<qsizetype>(jpegStart.size(), 0xffffffff))),
        &exif_data_unref);
    if (!data) return 1;
    ExifEntry* entry = exif_data_get_entry(data.get(), EXIF_TAG_ORIENTATION);
    if (!entry || entry->components < 1 || !entry->data) return 1;
    const ExifByteOrder order = exif_data_get_byte_order(data.get());
    long value = 0;
    switch (entry->format) {
    case EXIF_FORMAT_SHORT:
        value = exif_get_short(entry->data, order);
        break;
    case EXIF_FORMAT_SSHORT:
        value = exif_get_sshort(entry->data, order);
        break;
    case EXIF_FORMAT_LONG:
        value = long(exif_get_long(entry->data, order));
        break;
    case EXIF_FORMAT_SLONG:
        value = exif_get_slong(entry->data, order);
        break;
    default:
        return 1;
    }
    return value >= 1 && value <= 8 ? int(value) : 1;
}

QRect storedPart(QRect part, QSize stored, int orientation) {
    const int right = stored.width() - 1, bottom = stored.height() - 1;
    const auto from = [&](QPoint p) { // an upright pixel's place as stored
        const int u = p.x(), v = p.y();
        switch (orientation) {
        case 2:
            return QPoint(right - u, v);
        case 3:
            return QPoint(right - u, bottom - v);
        case 4:
            return QPoint(u, bottom - v);
        case 5:
            return QPoint(v, u);
        case 6:
            return QPoint(v, bottom - u);
        case 7:
            return QPoint(right - v, bottom - u);
        case 8:
            return QPoint(right - v, u);
        default:
            return p;
        }
    };
    const QPoint a = from(part.topLeft()), b = from(part.bottomRight());
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

QImage upright(const QImage& decoded, int orientation) {
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case 2:
        return decoded.mirrored(true, false);
    case 3:
        return decoded.mirrored(true, true);
    case 4:
        return decoded.mirrored(false, true);
    case 5:
        return decoded.transformed(quarter).mirrored(true, false);
    case 6:
        return decoded.transformed(quarter);
    case 7:
        return decoded.transformed(quarter).mirrored(false, true);
    case 8:
        return decoded.transformed(QTransform().rotate(270));
    default:
        return decoded;
    }
}
