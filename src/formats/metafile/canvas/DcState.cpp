#include "formats/metafile/canvas/DcState.h"

#include <cmath>

namespace {

// Millimetres in one logical unit of the fixed mapping modes.
double fixedUnitMm(int mapMode) {
    switch (mapMode) {
    case Gdi::MmLoMetric:
        return 0.1;
    case Gdi::MmHiMetric:
        return 0.01;
    case Gdi::MmLoEnglish:
        return 0.254;
    case Gdi::MmHiEnglish:
        return 0.0254;
    case Gdi::MmTwips:
        return 25.4 / 1440;
    default:
        return 0;
    }
}

double ratio(double num, double den) {
    return den == 0 ? 1 : num / den;
}

} // namespace

QTransform DcState::pageTransform(double devicePixelsPerMm) const {
    double sx = 1, sy = 1;
    if (const double mm = fixedUnitMm(mapMode); mm > 0) {
        sx = mm * devicePixelsPerMm;
        sy = -sx; // the fixed modes have y growing upwards
    } else if (mapMode == Gdi::MmIsotropic || mapMode == Gdi::MmAnisotropic) {
        const QPointF vext = viewportFollowsWindow ? windowExt : viewportExt;
        sx = ratio(vext.x(), windowExt.x());
        sy = ratio(vext.y(), windowExt.y());
        if (mapMode == Gdi::MmIsotropic) {
            // Equal scales: the smaller one wins and each keeps its sign.
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    return QTransform(sx, 0, 0, sy, viewportOrg.x() - windowOrg.x() * sx,
                      viewportOrg.y() - windowOrg.y() * sy);
}
