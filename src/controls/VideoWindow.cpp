#include "controls/VideoWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int ShortestLongerSide = 320;
}

VideoWindow::VideoWindow(const QString& title, QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(title);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeFor(QSize(4, 3), QSize(4096, 4096)));
}

QSize VideoWindow::sizeFor(QSize video, QSize screen) {
    if (video.isEmpty()) return video;
    const int longer = std::max(video.width(), video.height());
    double factor = longer < ShortestLongerSide ? double(ShortestLongerSide) / longer : 1.0;
    factor = std::min(
        {factor, 0.75 * screen.width() / video.width(), 0.75 * screen.height() / video.height()});
    return QSize(std::max(1, int(video.width() * factor + 0.5)),
                 std::max(1, int(video.height() * factor + 0.5)));
}

void VideoWindow::fitTo(QSize video) {
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(sizeFor(video, available.size()));
    // Over the main window while that is on screen, else in the screen's middle.
    const QPoint centre =
        owner && owner->isVisible() ? owner->frameGeometry().center() : available.center();
    move(centre - QPoint(width() / 2, height() / 2));
}

void VideoWindow::showPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void VideoWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_.isNull()) return;
    QSize scaled = picture_.size().scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), scaled);
    target.moveCenter(rect().center());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

void VideoWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}
