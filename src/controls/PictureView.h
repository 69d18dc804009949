#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

// Where a picture shows in the picture area: fitted into the area's space, or
// zoomed, with the part the area shows. Pixels of the area are "view" pixels;
// the picture's own pixels are counted by its own size.
struct PictureView {
    static constexpr double MaxZoom = 8.0;
    static constexpr double Step = 1.25;

    QSize own;          // the picture's own size
    QSize space;        // what the area may take (invalid: no bound)
    bool fill = false;  // the area is the whole space, the picture centred in it
    bool fitted = true; // else zoomed
    double zoom = 1;    // when zoomed: view pixels per picture pixel
    QPointF offset;     // the area's corner in the scaled picture

    double fitScale() const;
    double scale() const { return fitted ? fitScale() : zoom; }
    // The whole picture at the scale shown.
    QSize scaledSize() const;
    // The area's size: the scaled picture within the space, or all of it.
    QSize areaSize() const;
    // Where the scaled picture's corner lies in the area.
    QPointF origin() const;
    // The part of the scaled picture that the area shows.
    QRect visible() const;
    // Larger than the area: dragging moves it.
    bool pannable() const;

    // Zooms to scale (bounded by fitted and MaxZoom) keeping the picture's
    // point under `at`, in area pixels, where it was.
    void zoomTo(double scale, QPointF at);
    // One step in (steps > 0) or out, stopping at 100 % on the way.
    void zoomBy(int steps, QPointF at);
    void moveBy(QPointF delta);
    void showFitted();
    // Keeps the area within the scaled picture, after a change of space.
    void clampOffset();
};
