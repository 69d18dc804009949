#include "controls/PendingPictures.h"

#include "controls/WorkerThread.h"
#include "formats/rtf/RtfPicture.h"

#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QtConcurrent>

namespace {
// A decode may take a large picture's full size in memory for a while.
QThreadPool* decoders() {
    static WorkerThread thread;
    return thread.pool();
}
} // namespace

PendingPictures::PendingPictures() : dropped_(std::make_shared<std::atomic_bool>(false)) {}

PendingPictures::~PendingPictures() {
    *dropped_ = true; // decodes not yet started are skipped
}

void PendingPictures::add(const RtfPicture& picture, const QTextCursor& frame) {
    auto* watcher = new QFutureWatcher<Decoded>(this);
    const auto at = pending_.insert(pending_.end(), {watcher, frame});
    connect(watcher, &QFutureWatcherBase::finished, this, [this, at] {
        fill(at);
        if (pending_.empty()) emit allFilled();
    });
    watcher->setFuture(QtConcurrent::run(decoders(), [picture, dropped = dropped_] {
        if (*dropped) return Decoded{};
        const QImage image = picture.image();
        return Decoded{image, picture.displaySize(image.size())};
    }));
}

void PendingPictures::finishAll() {
    while (!pending_.empty()) {
        pending_.front().watcher->waitForFinished(); // runs it here if not yet started
        fill(pending_.begin());
    }
}

void PendingPictures::fill(std::list<Pending>::iterator at) {
    const Decoded decoded = at->watcher->result();
    at->watcher->disconnect(this); // nothing more comes from it
    at->watcher->deleteLater();
    QTextCursor frame = at->frame;
    pending_.erase(at);
    frame.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    QTextImageFormat format = frame.charFormat().toImageFormat();
    if (!format.isValid()) return;
    if (decoded.image.isNull()) {
        frame.removeSelectedText(); // as if it had never been there
        return;
    }
    frame.document()->addResource(QTextDocument::ImageResource, QUrl(format.name()), decoded.image);
    if (format.width() != decoded.shown.width() || format.height() != decoded.shown.height()) {
        // The header told no size, or another one than the picture has.
        format.setWidth(decoded.shown.width());
        format.setHeight(decoded.shown.height());
        frame.setCharFormat(format);
    } else {
        frame.document()->markContentsDirty(frame.selectionStart(), 1);
    }
}
