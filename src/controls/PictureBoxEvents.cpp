// The picture area's painting, and what the mouse and the keys do to it.
#include "controls/PictureBox.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, view_.fill ? QBrush(Qt::black) : palette().window());
    if (picture_.isNull()) return;
    const QPointF origin = view_.origin();
    const double scale = view_.scale();
    const QRectF whole(origin, QSizeF(view_.scaledSize()));
    if (view_.fill) painter.fillRect(whole & QRectF(dirty), palette().window());
    const bool sharper = !detail_.isNull() && pictureResolution() < resolutionNeeded() * Slack;
    if (!shown_.isNull() && !sharper)
        painter.drawImage(origin, shown_);
    else
        drawScaled(painter, picture_, whole, dirty);
    if (!sharper) return;
    // In place of the picture standing in, whose pixels would show through
    // where the sharper one is transparent.
    const QRectF sharp(origin + detailRect_.topLeft() * scale, detailRect_.size() * scale);
    painter.fillRect(sharp & QRectF(dirty), palette().window());
    drawScaled(painter, detail_, sharp, dirty);
}

// Draws only what falls in dirty: smoothly where the image is reduced, its
// pixels crisp where enlarged.
void PictureBox::drawScaled(QPainter& painter, const QImage& image, const QRectF& target,
                            const QRect& dirty) const {
    const QRectF drawn = target & QRectF(dirty);
    if (drawn.isEmpty() || target.isEmpty()) return;
    const double sx = image.width() / target.width(), sy = image.height() / target.height();
    const QRectF source((drawn.left() - target.left()) * sx, (drawn.top() - target.top()) * sy,
                        drawn.width() * sx, drawn.height() * sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, sx > 1.001);
    painter.drawImage(drawn, image, source);
}

void PictureBox::zoomTo(double scale, QPointF at) {
    zoomed([this, scale, at] { view_.zoomTo(scale, at); });
}

bool PictureBox::zoomKey(const QKeyEvent* event) {
    if (picture_.isNull() || !isVisible() || !(event->modifiers() & Qt::ControlModifier))
        return false;
    const QPointF centre(width() / 2.0, height() / 2.0);
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomed([this, centre] { view_.zoomBy(1, centre); });
        return true;
    case Qt::Key_Minus:
        zoomed([this, centre] { view_.zoomBy(-1, centre); });
        return true;
    case Qt::Key_0:
        view_.showFitted();
        refit();
        return true;
    default:
        return false;
    }
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    if (!zoomKey(event)) QWidget::keyPressEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
    // Between fitted and 100 %, the point clicked staying under the pointer.
    const QPointF at = event->position();
    zoomed([this, at] {
        if (view_.fitted)
            view_.zoomTo(1, at);
        else
            view_.showFitted();
    });
}

void PictureBox::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || picture_.isNull())
        return QWidget::wheelEvent(event);
    wheelAngle_ += event->angleDelta().y();
    const int steps = wheelAngle_ / QWheelEvent::DefaultDeltasPerStep;
    wheelAngle_ -= steps * QWheelEvent::DefaultDeltasPerStep;
    const QPointF at = event->position();
    if (steps != 0) zoomed([this, steps, at] { view_.zoomBy(steps, at); }, true);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !view_.pannable())
        return QWidget::mousePressEvent(event);
    dragging_ = true;
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return QWidget::mouseMoveEvent(event);
    view_.moveBy(event->position() - dragFrom_);
    dragFrom_ = event->position();
    update();
    if (!isSharp()) detailTimer_->start();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    if (view_.pannable())
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
}
