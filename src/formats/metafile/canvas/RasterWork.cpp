#include "formats/metafile/canvas/RasterWork.h"

#include <algorithm>
#include <cmath>
#include <vector>

double rasterWork(const QList<QPolygonF>& polygons, const QRect& area) {
    // Only the lines the polygons span, so that a small shape costs little.
    double from = area.bottom() + 1, to = area.top() - 1;
    for (const QPolygonF& polygon : polygons) {
        const QRectF box = polygon.boundingRect();
        from = std::min(from, std::floor(box.top()));
        to = std::max(to, std::floor(box.bottom()));
    }
    from = std::max(from, double(area.top()));
    to = std::min(to, double(area.bottom()));
    if (!(from <= to)) return 0;
    const double rows = to - from + 1, width = area.width();
    // Cells per line: each edge adds one on every line it spans, and those
    // its run across takes. Summed as differences, then added up.
    std::vector<double> change(size_t(rows) + 1, 0.0);
    for (const QPolygonF& polygon : polygons) {
        for (qsizetype i = 0; i < polygon.size(); ++i) {
            const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
            if (!std::isfinite(a.y()) || !std::isfinite(b.y())) continue;
            const double first = std::max(0.0, std::floor(std::min(a.y(), b.y())) - from);
            const double last = std::min(rows - 1, std::floor(std::max(a.y(), b.y())) - from);
            if (first > last) continue; // beyond the area
            const double lines = last - first + 1;
            // A level edge only moves the rasteriser to its end.
            const double run = a.y() == b.y() ? 0 : std::min(std::abs(b.x() - a.x()), width);
            const double perLine = 1 + (std::isfinite(run) ? run : width) / lines;
            change[size_t(first)] += perLine;
            change[size_t(last) + 1] -= perLine;
        }
    }
    double work = 0, cells = 0;
    for (size_t row = 0; row < size_t(rows); ++row) {
        cells += change[row];
        work += cells * std::min(cells, width + 2);
    }
    return work;
}
