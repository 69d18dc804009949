#pragma once

#include "formats/metafile/canvas/DcState.h"
#include "formats/metafile/canvas/GdiObjects.h"
#include "formats/metafile/canvas/Surface.h"

#include <QList>
#include <QPolygonF>

#include <optional>
#include <vector>

// The graphics-state machine both record decoders drive: device context,
// object table, path bracket and the drawing operations of GDI, in logical
// coordinates. Output goes to a Surface in picture pixels.
class GdiCanvas {
  public:
    GdiCanvas(Surface& surface, const QTransform& deviceToPicture, double devicePixelsPerMm,
              int objectCapacity, const DcState& initial = {});

    // Counts a record; false once the picture's work budget is spent.
    bool nextRecord() { return surface_.nextRecord(); }

    DcState& dc() { return dc_; }
    const DcState& dc() const { return dc_; }
    ObjectTable& objects() { return objects_; }
    const QTransform& deviceToPicture() const { return base_; }
    // Logical coordinates to picture pixels, as they stand now.
    QTransform toPicture() const;

    // State
    void setMapMode(int mode);
    void setWindowOrg(QPointF org) { dc_.windowOrg = org; }
    void setWindowExt(QPointF ext);
    void setViewportOrg(QPointF org) { dc_.viewportOrg = org; }
    void setViewportExt(QPointF ext);
    void scaleWindowExt(double xNum, double xDen, double yNum, double yDen);
    void scaleViewportExt(double xNum, double xDen, double yNum, double yDen);
    void modifyWorldTransform(const QTransform& t, quint32 mode);
    void saveDc();
    void restoreDc(int which);
    void select(const GdiObject& object);
    void deleteObject(quint32 index);

    // Clipping
    void intersectClip(const QRectF& logical);
    void excludeClip(const QRectF& logical);
    void combineClip(const QPainterPath& picture, quint32 mode); // RGN_AND .. RGN_COPY
    void resetClip();

    // Lines and shapes
    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void polyline(const QPolygonF& points);
    void polylineTo(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void polyPolygon(const QList<QPolygonF>& polygons);
    void polyBezier(const QPolygonF& points);
    void polyBezierTo(const QPolygonF& points);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    enum class ArcKind { Open, Chord, Pie, ArcTo };
    void arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void angleArc(QPointF center, double radius, double startDeg, double sweepDeg);
    void setPixel(QPointF p, const QColor& color);
    void fillShape(const QPainterPath& logical, const BrushSpec& brush);

    // Paths
    void beginPath();
    void endPath() { inPath_ = false; }
    void abortPath();
    void closeFigure();
    void fillPath() { finishPath(true, false); }
    void strokePath() { finishPath(false, true); }
    void strokeAndFillPath() { finishPath(true, true); }
    void widenPath();
    void selectClipPath(quint32 mode);

    // Text: options are ETO_* flags; advances are logical, one a character
    // (the vertical part zero unless the record has one), or none.
    void textOut(QPointF at, QString text, quint32 options, const QRectF* rect,
                 const QList<QPointF>& advances);

    // Bitmaps: the source rectangle is in image pixels, top-down.
    void drawBitmap(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop);
    void patBlt(const QRectF& dest, quint32 rop);

    // For records that keep a graphics state of their own (EMF+): drawing in
    // picture pixels, within the same bounds and work budget as the rest.
    void fillPicture(const QPainterPath& picture, const QBrush& brush);
    void strokePicture(const QPainterPath& picture, const QPen& pen);
    Surface& surface() { return surface_; }
    // Hands the surface's clip back to the device context's.
    void useGdiClip() { applyClip(); }

  private:
    // Draws a shape, or adds it to the open path; a continuing shape starts
    // at the current position and extends the path's last figure.
    void output(const QPainterPath& logical, bool fill, bool stroke, bool continues = false);
    void outputPicture(const QPainterPath& picture, bool fill, bool stroke, double penScale);
    void appendToPath(const QPainterPath& logical, bool continueFigure);
    void finishPath(bool fill, bool stroke);
    double lengthScale() const;
    void applyClip();

    // The steps of textOut.
    struct TextPlacement;
    void fillTextBox(const QRectF& rect);
    std::optional<TextPlacement> placeText(QPointF at, const QString& text,
                                           const QList<QPointF>& advances) const;
    void advanceCurrentPosition(double width);
    void appendTextToPath(const TextPlacement& placed, const QString& text);
    void fillTextBackground(const TextPlacement& placed);
    void drawGlyphs(const TextPlacement& placed, const QString& text);

    Surface& surface_;
    QTransform base_;
    double pxPerMm_;
    DcState dc_;
    std::vector<DcState> saved_;
    ObjectTable objects_;
    bool inPath_ = false;
    QPainterPath path_; // picture pixels
};
