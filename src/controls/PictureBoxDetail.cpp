// The picture area's sharper decodes: when the picture at hand is not sharp
// enough for the view, which decode would be, and taking it in.
#include "controls/PictureBox.h"

#include "controls/DetailFetcher.h"

#include <QTimer>

#include <utility>

void PictureBox::zoomed(const std::function<void()>& change, bool burst) {
    if (picture_.isNull()) return;
    if (ownKnown_) {
        change();
        refit();
        if (!burst) fetchDetail(); // at once, not after the pause a burst waits for
        return;
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
    if (afterMeasure_) return false; // a zoom waits for the picture's own size
    if (!ownKnown_) return !view_.fill && view_.fitted;
    return pictureResolution() >= resolutionNeeded() * Slack || detailServes();
}

void PictureBox::fetchDetail() {
    detailTimer_->stop();
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
    const bool measured = bool(afterMeasure_);
    if (measured) std::exchange(afterMeasure_, nullptr)();
    refit();
    if (measured) fetchDetail();
}
