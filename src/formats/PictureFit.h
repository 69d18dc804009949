#pragma once

#include <QSize>

#include <algorithm>
#include <cmath>

// The size a picture shows at in a space: scaled down to fit it, keeping its
// aspect ratio, never enlarged. An invalid space leaves the size as it is.
inline QSize fittedSize(QSize picture, QSize space) {
    if (!space.isValid() || picture.isEmpty() ||
        (picture.width() <= space.width() && picture.height() <= space.height()))
        return picture;
    const double scale = std::min(double(space.width()) / picture.width(),
                                  double(space.height()) / picture.height());
    const auto side = [scale](int length, int room) {
        return std::clamp(int(std::lround(length * scale)), 1, std::max(1, room));
    };
    return QSize(side(picture.width(), space.width()), side(picture.height(), space.height()));
}
