#include "formats/BandScaler.h"

#include <cstring>

BandScaler::BandScaler(QSize whole, QSize target, QImage::Format format, QRect part)
    : image_(target, format) {
    part = part.isValid() ? part & QRect(QPoint(), whole) : QRect(QPoint(), whole);
    source_ = part.size();
    offset_ = part.topLeft();
    const QSize source = source_;
    // Only ever reduced: a target pixel on which no source pixel falls would stay unset.
    if (target.width() > source.width() || target.height() > source.height()) image_ = {};
    if (image_.isNull() || source.isEmpty()) return;
    if (target == source) return; // rows are copied as they come
    column_.resize(size_t(source.width()));
    perColumn_.assign(size_t(target.width()), 0);
    for (int x = 0; x < source.width(); ++x) {
        column_[size_t(x)] = int(qint64(x) * target.width() / source.width());
        ++perColumn_[size_t(column_[size_t(x)])];
    }
    sums_.assign(size_t(target.width()) * 4, 0);
}

void BandScaler::addRow(int y, const QRgb* row) {
    y -= offset_.y();
    row += offset_.x();
    if (image_.isNull() || y < 0 || y >= source_.height()) return;
    if (column_.empty()) {
        std::memcpy(image_.scanLine(y), row, size_t(source_.width()) * 4);
        return;
    }
    const int target = int(qint64(y) * image_.height() / source_.height());
    if (target != row_) {
        flush();
        row_ = target;
    }
    ++rowsIn_;
    quint64* sums = sums_.data();
    const int* column = column_.data();
    for (int x = 0, w = source_.width(); x < w; ++x) {
        const QRgb p = row[x];
        quint64* s = sums + 4 * column[x];
        s[0] += p & 0xff;
        s[1] += (p >> 8) & 0xff;
        s[2] += (p >> 16) & 0xff;
        s[3] += p >> 24;
    }
}

void BandScaler::flush() {
    if (row_ < 0 || rowsIn_ == 0) return;
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(row_));
    for (int x = 0; x < image_.width(); ++x) {
        const quint64 n = quint64(perColumn_[size_t(x)]) * quint64(rowsIn_);
        const quint64* s = sums_.data() + 4 * x;
        const auto mean = [n](quint64 sum) { return QRgb((sum + n / 2) / n); };
        line[x] = mean(s[0]) | mean(s[1]) << 8 | mean(s[2]) << 16 | mean(s[3]) << 24;
    }
    std::fill(sums_.begin(), sums_.end(), 0);
    rowsIn_ = 0;
}

QImage BandScaler::take() {
    flush();
    row_ = -1;
    return std::move(image_);
}
