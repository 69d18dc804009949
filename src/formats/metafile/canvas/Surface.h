#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>
#include <QTransform>

#include <atomic>
#include <limits>
#include <optional>

// Where the player's output goes, everything in picture pixels. Painting
// draws it; measuring only collects the bounds of what would be drawn.
class Surface {
  public:
    virtual ~Surface() = default;
    // The work a picture may take: records played, and pixels covered by
    // what they draw. Once it is spent, playing stops and what is drawn stays.
    void setBudget(qint64 records, qint64 pixels) {
        records_ = records;
        pixels_ = pixels;
    }
    void setStop(const std::atomic<bool>* stop) { stop_ = stop; }
    bool nextRecord() {
        return --records_ >= 0 && pixels_ > 0 && !(stop_ && stop_->load(std::memory_order_relaxed));
    }
    virtual void setClip(const std::optional<QPainterPath>& clip) = 0;
    virtual void fill(const QPainterPath& path, const QBrush& brush) = 0;
    virtual void stroke(const QPainterPath& path, const QPen& pen) = 0;
    // Draws the image's rectangle mapped by imageToPixels; smooth scales it
    // bilinearly (as GDI+ does), else by the nearest pixel (as GDI does).
    virtual void image(const QImage& image, const QTransform& imageToPixels,
                       QPainter::CompositionMode mode, bool smooth) = 0;
    // Draws text with its baseline origin at (0,0) of textToPixels.
    virtual void text(const QString& text, const QFont& font, const QColor& color,
                      const QTransform& textToPixels) = 0;

  protected:
    // Takes the pixels an operation covers from the budget; false, and
    // nothing is to be drawn, when none was left.
    bool spend(double pixels);

  private:
    qint64 records_ = std::numeric_limits<qint64>::max();
    qint64 pixels_ = std::numeric_limits<qint64>::max();
    const std::atomic<bool>* stop_ = nullptr;
};

class PaintSurface : public Surface {
  public:
    explicit PaintSurface(QPainter& painter) : painter_(painter) {}
    void setClip(const std::optional<QPainterPath>& clip) override;
    void fill(const QPainterPath& path, const QBrush& brush) override;
    void stroke(const QPainterPath& path, const QPen& pen) override;
    void image(const QImage& image, const QTransform& imageToPixels, QPainter::CompositionMode mode,
               bool smooth) override;
    void text(const QString& text, const QFont& font, const QColor& color,
              const QTransform& textToPixels) override;

  private:
    double covered(const QRectF& bounds) const; // picture pixels within bounds
    // Fills a shape, or a stroke's outline, cut to the picture or without
    // antialiasing when it reaches far beyond or its edges crowd the lines;
    // false, and nothing drawn, when Qt may draw it as it is.
    bool filledApart(const QPainterPath& shape, const QBrush& brush);
    QPainter& painter_;
};

class MeasureSurface : public Surface {
  public:
    void setClip(const std::optional<QPainterPath>& clip) override;
    void fill(const QPainterPath& path, const QBrush& brush) override;
    void stroke(const QPainterPath& path, const QPen& pen) override;
    void image(const QImage& image, const QTransform& imageToPixels, QPainter::CompositionMode mode,
               bool smooth) override;
    void text(const QString& text, const QFont& font, const QColor& color,
              const QTransform& textToPixels) override;
    QRectF bounds() const { return bounds_; }

  private:
    void add(QRectF rect);
    QRectF bounds_;
    std::optional<QRectF> clip_;
};
