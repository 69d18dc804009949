#include "controls/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureBox::setPicture(const QImage& picture) {
    picture_ = picture;
    if (!picture_.isNull()) resize(picture_.deviceIndependentSize().toSize());
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, palette().window());
    // Only the exposed part: big pictures are mostly outside the window.
    if (!picture_.isNull()) painter.drawImage(area.topLeft(), picture_, area);
}
