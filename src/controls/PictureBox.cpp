#include "controls/PictureBox.h"

#include "formats/PictureAnimation.h"
#include "formats/PictureFit.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), frameTimer_(new QTimer(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    frameTimer_->setSingleShot(true);
    connect(frameTimer_, &QTimer::timeout, this, &PictureBox::showNextFrame);
}

PictureBox::~PictureBox() = default;

void PictureBox::setPicture(const QImage& picture) {
    frameTimer_->stop();
    animation_.reset();
    picture_ = picture;
    refit();
}

void PictureBox::setAnimation(std::unique_ptr<PictureAnimation> animation) {
    animation_ = std::move(animation);
    if (animation_) frameTimer_->start(animation_->delayMs());
}

bool PictureBox::isAnimating() const {
    return frameTimer_->isActive();
}

void PictureBox::setSpace(QSize space, QSize largest) {
    largest_ = largest;
    if (space == space_) return;
    space_ = space;
    refit();
}

void PictureBox::refit() {
    if (picture_.isNull()) return update();
    const QSize size = fittedSize(picture_.deviceIndependentSize().toSize(), space_);
    // Scaled once here, smoothly, so that painting only copies.
    shown_ = size == picture_.size()
                 ? picture_
                 : picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown_.setDevicePixelRatio(1);
    resize(size);
    update();
}

void PictureBox::showNextFrame() {
    if (!animation_ || !isVisible()) return;
    const QImage frame = animation_->nextFrame();
    if (frame.isNull()) return animation_.reset();
    picture_ = frame;
    refit();
    frameTimer_->start(animation_->delayMs());
}

void PictureBox::hideEvent(QHideEvent* event) {
    // A hidden area plays nothing; the next picture replaces the animation.
    frameTimer_->stop();
    animation_.reset();
    QWidget::hideEvent(event);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, palette().window());
    if (!shown_.isNull()) painter.drawImage(area.topLeft(), shown_, area);
}
