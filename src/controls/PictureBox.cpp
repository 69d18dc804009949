#include "controls/PictureBox.h"

#include "controls/DetailFetcher.h"
#include "formats/PictureAnimation.h"

#include <QTimer>

#include <utility>

namespace {
// A burst of wheel steps or drag moves asks for one decode, where it ends.
constexpr int DetailDelayMs = 40;
constexpr double Slack = 0.999; // rounding of sizes to whole pixels
} // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), frameTimer_(new QTimer(this)), detailTimer_(new QTimer(this)),
      fetcher_(new DetailFetcher(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    frameTimer_->setSingleShot(true);
    connect(frameTimer_, &QTimer::timeout, this, &PictureBox::showNextFrame);
    detailTimer_->setSingleShot(true);
    detailTimer_->setInterval(DetailDelayMs);
    connect(detailTimer_, &QTimer::timeout, this, &PictureBox::fetchDetail);
}

PictureBox::~PictureBox() = default;

void PictureBox::setPicture(const QImage& picture, const QString& file) {
    frameTimer_->stop();
    animation_.reset();
    fetcher_->cancel();
    detailTimer_->stop();
    afterMeasure_ = nullptr;
    dragging_ = false;
    picture_ = picture;
    file_ = file;
    detail_ = {};
    requestedScale_ = 0;
    // A picture that fills the decode limit on a side may have been decoded
    // reduced: its own size is measured when it is first needed.
    const QSize limit = decodeLimit();
    ownKnown_ = !limit.isValid() || file.isEmpty() ||
                (picture.width() < limit.width() && picture.height() < limit.height());
    kindKnown_ = drawn_ = false;
    view_.own = picture.deviceIndependentSize().toSize();
    view_.showFitted();
    windowView_.showFitted();
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
    if (!view_.fill) refit();
}

void PictureBox::setFullScreen(bool on) {
    if (on == view_.fill) return;
    if (on) {
        windowView_ = view_;
        view_.showFitted();
    } else {
        const QSize own = view_.own;
        view_ = windowView_;
        view_.own = own;
    }
    view_.fill = on;
    refit();
    if (on && !ownKnown_) zoomed([] {}); // fitted to the screen, maybe above the decode
}

void PictureBox::rehome(QWidget* parent) {
    rehoming_ = true;
    setParent(parent);
    rehoming_ = false;
}

void PictureBox::refit() {
    if (picture_.isNull()) return update();
    view_.space = view_.fill ? size() : space_;
    view_.clampOffset();
    // Fitted, the picture is scaled once here, smoothly, so that painting only copies.
    const QSize size = view_.scaledSize();
    shown_ = !view_.fitted ? QImage()
             : size == picture_.size()
                 ? picture_
                 : picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown_.setDevicePixelRatio(1);
    if (!view_.fill) resize(view_.areaSize());
    if (view_.pannable())
        setCursor(dragging_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    else
        unsetCursor();
    update();
    if (!isSharp()) return detailTimer_->start();
    if (view_.fitted && pictureResolution() >= resolutionNeeded() * Slack) {
        // Back to what the picture at hand shows: a sharper one's memory goes.
        fetcher_->cancel();
        detail_ = {};
        requestedScale_ = 0;
    }
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
    if (!rehoming_) {
        frameTimer_->stop();
        animation_.reset();
    }
    QWidget::hideEvent(event);
}

void PictureBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (animation_ && !frameTimer_->isActive()) frameTimer_->start(animation_->delayMs());
    if (!isSharp()) detailTimer_->start();
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (view_.fill) refit(); // the area is the screen: the picture fits it
}

void PictureBox::zoomed(const std::function<void()>& change) {
    if (picture_.isNull()) return;
    if (ownKnown_) {
        change();
        return refit();
    }
    // Measured on the worker first; the changes wait for it, in order.
    const bool measuring = bool(afterMeasure_);
    afterMeasure_ = [before = std::move(afterMeasure_), change] {
        if (before) before();
        change();
    };
    if (!measuring)
        fetcher_->fetch(file_, 0, {}, [this](const PictureDetail& d) { takeDetail(d, 0); });
}

double PictureBox::pictureResolution() const {
    return view_.own.isEmpty() ? 1 : double(picture_.width()) / view_.own.width();
}

double PictureBox::resolutionNeeded() const {
    // A metafile is drawn afresh at any scale; a raster picture has no more
    // than its own pixels. Until it is known which, as many as the screen.
    const double scale = view_.scale();
    return kindKnown_ && !drawn_ ? std::min(scale, 1.0) : scale;
}

bool PictureBox::detailServes() const {
    if (detail_.isNull()) return false;
    if (double(detail_.width()) / detailRect_.width() < resolutionNeeded() * Slack) return false;
    if (!drawn_) return true; // whole
    const double scale = view_.scale();
    const QRectF seen(QPointF(view_.visible().topLeft()) / scale,
                      QSizeF(view_.visible().size()) / scale);
    return detailRect_.adjusted(-1 / scale, -1 / scale, 1 / scale, 1 / scale).contains(seen);
}

bool PictureBox::isSharp() const {
    if (picture_.isNull() || animation_ || file_.isEmpty()) return true;
    if (!ownKnown_) return !view_.fill && view_.fitted;
    return pictureResolution() >= resolutionNeeded() * Slack || detailServes();
}

void PictureBox::fetchDetail() {
    if (!isVisible() || isSharp() || !ownKnown_ || afterMeasure_) return;
    const double scale = view_.scale();
    // A metafile draws the part in view and a margin for panning; a raster
    // picture comes whole.
    const QRect seen = view_.visible();
    const QRect part =
        seen.adjusted(-seen.width() / 4, -seen.height() / 4, seen.width() / 4, seen.height() / 4);
    if (scale == requestedScale_ && (!drawn_ || requestedPart_.contains(seen))) return;
    requestedScale_ = scale;
    requestedPart_ = part;
    fetcher_->fetch(file_, scale, part,
                    [this, scale](const PictureDetail& d) { takeDetail(d, scale); });
}

void PictureBox::takeDetail(const PictureDetail& detail, double scale) {
    if (!ownKnown_) {
        if (detail.own.isValid()) view_.own = detail.own; // else the picture's size stands
        ownKnown_ = true;
    }
    if (detail.own.isValid()) {
        kindKnown_ = true;
        drawn_ = detail.drawn;
    }
    if (!detail.image.isNull() && scale > 0) {
        const QRectF rect(QPointF(detail.covers.topLeft()) / scale,
                          QSizeF(detail.covers.size()) / scale);
        // Kept only when sharper than the picture at hand.
        if (double(detail.image.width()) / rect.width() > pictureResolution() / Slack) {
            detail_ = detail.image;
            detailRect_ = rect;
        }
    }
    if (afterMeasure_) std::exchange(afterMeasure_, nullptr)();
    refit();
}
