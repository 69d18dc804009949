#include "formats/PictureAnimation.h"

#include "formats/RasterReading.h"

namespace {
// Browsers show frames that ask for 10 ms or less for 100 ms; so do we.
int frameDelay(int asked) {
    return asked > 10 ? asked : 100;
}
} // namespace

PictureAnimation::PictureAnimation(const QByteArray& bytes, QSize limit)
    : bytes_(bytes), limit_(limit) {
    buffer_.setBuffer(&bytes_);
}

std::unique_ptr<PictureAnimation> PictureAnimation::open(const QByteArray& bytes, QSize limit) {
    std::unique_ptr<PictureAnimation> animation(new PictureAnimation(bytes, limit));
    if (!animation->restart() || !animation->reader_->supportsAnimation()) return nullptr;
    if (animation->reader_->imageCount() == 1) return nullptr;
    // Reading the first frame positions the reader at the second.
    if (animation->readFrame().isNull()) return nullptr;
    return animation;
}

bool PictureAnimation::restart() {
    reader_.reset();
    if (buffer_.isOpen()) buffer_.close();
    if (!buffer_.open(QIODevice::ReadOnly)) return false;
    reader_ = std::make_unique<QImageReader>(&buffer_);
    reader_->setDecideFormatFromContent(true);
    return reader_->canRead();
}

QImage PictureAnimation::readFrame() {
    QImage frame = reader_->read();
    if (frame.isNull()) return frame;
    delayMs_ = frameDelay(reader_->nextImageDelay());
    return shrunkToFit(frame, limit_);
}

QImage PictureAnimation::nextFrame() {
    if (reader_ && reader_->canRead()) {
        QImage frame = readFrame();
        if (!frame.isNull()) return frame;
    }
    if (!restart()) return {};
    return readFrame();
}
