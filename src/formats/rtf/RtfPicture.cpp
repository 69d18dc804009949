#include "formats/rtf/RtfPicture.h"

#include "formats/PictureLoader.h"
#include "formats/rtf/RtfFormats.h"
#include "formats/rtf/RtfTokenizer.h"
#include "system/PlatformError.h"

#include <QBuffer>
#include <QImageReader>
#include <QtMath>

namespace {
constexpr qsizetype MaxPictureBytes = 32 * 1024 * 1024;
constexpr qreal MaxSide = 10000;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

void RtfPicture::word(const RtfWordInfo& info, const RtfToken& token) {
    const int value = qBound(0, token.param, 0xFFFFF);
    switch (info.word) {
    case RtfWord::PictureType:
        kind_ = info.value;
        break;
    case RtfWord::PictureWidth:
        width_ = value;
        break;
    case RtfWord::PictureHeight:
        height_ = value;
        break;
    case RtfWord::PictureGoalWidth:
        goalWidth_ = value;
        break;
    case RtfWord::PictureGoalHeight:
        goalHeight_ = value;
        break;
    case RtfWord::PictureScaleX:
        scaleX_ = qBound(1, value, 1000);
        break;
    case RtfWord::PictureScaleY:
        scaleY_ = qBound(1, value, 1000);
        break;
    default:
        break;
    }
}

void RtfPicture::hexDigits(QByteArrayView text) {
    for (const char c : text) {
        const int v = hexValue(c);
        if (v < 0) continue;
        if (nibble_ < 0) {
            nibble_ = v;
        } else {
            if (data_.size() < MaxPictureBytes) data_.append(char(nibble_ * 16 + v));
            nibble_ = -1;
        }
    }
}

void RtfPicture::binary(QByteArrayView data) {
    data_.append(data.first(qMin(data.size(), MaxPictureBytes - data_.size())));
}

QImage RtfPicture::image() const {
    const QImage decoded = decode();
    if (decoded.isNull()) return {};
    const QSizeF shown = displaySize(decoded.size());
    const QSize target(qCeil(shown.width()), qCeil(shown.height()));
    if (decoded.width() <= target.width() && decoded.height() <= target.height()) return decoded;
    return decoded.scaled(target.boundedTo(decoded.size()), Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation);
}

QSize RtfPicture::headerSize() const {
    if (kind_ == PicturePng || kind_ == PictureJpeg) {
        QBuffer buffer;
        buffer.setData(data_);
        buffer.open(QIODevice::ReadOnly);
        const QSize size = QImageReader(&buffer).size();
        if (size.isValid()) return size;
    }
    return statedSize();
}

qint64 RtfPicture::shownBytes(QSize own, QSizeF shown) {
    // image() scales a larger picture down to its shown size, never up.
    const qint64 w = qCeil(shown.width()), h = qCeil(shown.height());
    return 4 * (own.width() > 0 ? qMin<qint64>(own.width(), w) : w) *
           (own.height() > 0 ? qMin<qint64>(own.height(), h) : h);
}

QImage RtfPicture::decode() const {
    if (kind_ == PictureOther || data_.isEmpty()) return {};
    try {
        return decodePicture(data_);
    } catch (const PlatformError&) {
    }
    if (kind_ != PictureWmf) return {};
    try {
        return decodePicture(withPlaceableHeader(data_, goalWidth_, goalHeight_));
    } catch (const PlatformError&) {
    }
    return {};
}

QSizeF RtfPicture::displaySize(QSize own) const {
    // A metafile's \picw and \pich are in hundredths of a millimetre.
    const bool metafile = kind_ == PictureWmf || kind_ == PictureEmf;
    qreal w = metafile && width_ > 0 ? width_ * 96.0 / 2540.0 : own.width();
    qreal h = metafile && height_ > 0 ? height_ * 96.0 / 2540.0 : own.height();
    if (goalWidth_ > 0) w = rtfTwipsToPixels(goalWidth_);
    if (goalHeight_ > 0) h = rtfTwipsToPixels(goalHeight_);
    w = qBound(1.0, w * scaleX_ / 100.0, MaxSide);
    h = qBound(1.0, h * scaleY_ / 100.0, MaxSide);
    return {w, h};
}
