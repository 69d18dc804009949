#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>

// A picture file as a zoomed view needs it.
struct PictureDetail {
    QSize own;          // the picture's own size, as LoadPicture gives it unbounded
    bool drawn = false; // a metafile: drawn afresh at any scale
    QImage image;       // null when only measured
    QRect covers;       // where image lies in the picture at the scale asked
};

// The picture in a file at scale times its own size, for a view showing the
// part `visible` of that. A metafile is drawn at the scale, the visible part
// only; any other picture comes whole, at no more than its own size and no
// more than maxPixels, to be scaled as it is shown. With scale <= 0 it is only
// measured. Throws as LoadPicture does.
PictureDetail loadPictureDetail(const QString& path, double scale, QRect visible, qint64 maxPixels,
                                const std::atomic<bool>* stop = nullptr);
