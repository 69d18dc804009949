#pragma once

#include <QList>
#include <QPolygonF>
#include <QRect>

// What Qt's antialiasing rasteriser does to fill polygons within a picture
// of area's size: each scan line keeps its cells in a list that it walks
// for every cell an edge touches, so a line that n edges cross costs about
// n times n, up to the picture's width. Hundreds of overlapping wide dashes
// cost minutes though they cover no more pixels than one.
double rasterWork(const QList<QPolygonF>& polygons, const QRect& area);
