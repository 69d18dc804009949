#pragma once

#include <QImage>
#include <QSize>

#include <vector>

// Builds a picture of a given size from the rows of a larger one, fed one at
// a time in either order (top down or bottom up), so that a decoder never
// holds more of the source than the band it is converting. Each target pixel
// is the average of the source pixels that fall on it.
class BandScaler {
  public:
    BandScaler(QSize source, QSize target, QImage::Format format);

    // Row y of the source, width() pixels of 0xAARRGGBB. Rows come in one
    // direction, each once.
    void addRow(int y, const QRgb* row);
    // The picture, once every row was added; null when it could not be made.
    QImage take();

  private:
    void flush();

    QSize source_;
    QImage image_;
    std::vector<int> column_; // target column of each source column
    std::vector<int> perColumn_;
    std::vector<quint64> sums_; // of the target row being filled, 4 per pixel
    int row_ = -1;              // that target row
    int rowsIn_ = 0;
};
