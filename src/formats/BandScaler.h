#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <vector>

// Builds a picture of a given size from the rows of a larger one, fed one at
// a time in either order (top down or bottom up), so that a decoder never
// holds more of the source than the band it is converting. Each target pixel
// is the average of the source pixels that fall on it. With a valid part, the
// picture is of that part of the source alone; rows outside it are not needed.
class BandScaler {
  public:
    BandScaler(QSize source, QSize target, QImage::Format format, QRect part = {});

    // Whether any of count rows from first falls in the part.
    bool wants(qint64 first, qint64 count) const {
        return first < offset_.y() + source_.height() && first + count > offset_.y();
    }
    // Row y of the source, its full width of 0xAARRGGBB. Rows come in one
    // direction, each once.
    void addRow(int y, const QRgb* row);
    // The picture, once every row was added; null when it could not be made
    // (out of memory, or a target larger than the part).
    QImage take();

  private:
    void flush();

    QSize source_;  // of the part
    QPoint offset_; // where the part lies in the source
    QImage image_;
    std::vector<int> column_; // target column of each source column
    std::vector<int> perColumn_;
    std::vector<quint64> sums_; // of the target row being filled, 4 per pixel
    int row_ = -1;              // that target row
    int rowsIn_ = 0;
};
