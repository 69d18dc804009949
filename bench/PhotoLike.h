#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace bench {

// A picture that compresses like a photo: a gradient from `from` to `to`
// with coloured patches scattered over it.
inline QImage photoLike(QSize size, QColor from, QColor to, int patches, QSize patch) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < patches; ++i)
        painter.fillRect(QRect(QPoint((i * 997) % size.width(), (i * 613) % size.height()), patch),
                         QColor::fromHsv(i % 360, 200, 220));
    return image;
}

} // namespace bench
