#include "controls/TextPaneLoading.h"

#include "controls/PendingPictures.h"
#include "formats/LongLines.h"
#include "formats/TextDecoding.h"
#include "formats/TextFileContent.h"
#include "formats/rtf/RtfReader.h"
#include "system/PlatformError.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QTextCursor>
#include <QTextDocument>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>
#include <utility>

namespace {
// Text added at once: a few screens, so the call returns quickly; then text
// added per step of the event loop, small enough to keep the window live.
constexpr qsizetype FirstChars = 4 * 1024;
constexpr qsizetype StepChars = 32 * 1024;
// RTF is read in the same way: its start before the document shows, then
// per step. Steps grow or shrink to take about StepMs each, layout included,
// since the cost per character differs widely with the text's shape.
constexpr qsizetype FirstRtfBytes = 16 * 1024;
constexpr int StepMs = 15;
constexpr qsizetype FirstStep = 4 * 1024, MinStep = 256, MaxStep = 4 * 1024 * 1024;
} // namespace

TextPaneLoading::TextPaneLoading(QObject* parent) : QObject(parent), feeder_(new QTimer(this)) {
    feeder_->setInterval(0);
    connect(feeder_, &QTimer::timeout, this, &TextPaneLoading::appendStep);
}

TextPaneLoading::~TextPaneLoading() {
    if (readDropped_) *readDropped_ = true;
}

void TextPaneLoading::stop() {
    feeder_->stop();
    if (reading_) {
        *readDropped_ = true;
        delete std::exchange(reading_, nullptr); // its result never lands
    }
    pictures_.reset();
    rtf_.reset();
    doc_ = nullptr;
    pending_.clear();
    pendingAt_ = 0;
    column_ = 0;
    stepSize_ = FirstStep;
    feeding_ = false;
}

void TextPaneLoading::readInBackground(FileHandle file, bool nfo) {
    feeding_ = true;
    readDropped_ = std::make_shared<std::atomic_bool>(false);
    reading_ = new QFutureWatcher<TextFileContent>(this);
    connect(reading_, &QFutureWatcherBase::finished, this, &TextPaneLoading::takeReadContent);
    reading_->setFuture(QtConcurrent::run(
        QThreadPool::globalInstance(),
        [file = std::make_shared<FileHandle>(std::move(file)), nfo, dropped = readDropped_] {
            try {
                return readTextFile(std::move(*file), nfo, *dropped);
            } catch (const PlatformError&) {
                return TextFileContent{}; // shown as unreadable
            }
        }));
    proceed();
}

void TextPaneLoading::takeReadContent() {
    reading_->waitForFinished(); // runs it here if it has not started yet
    const TextFileContent content = reading_->result();
    reading_->disconnect(this);
    reading_->deleteLater();
    reading_ = nullptr;
    emit contentRead(content);
}

void TextPaneLoading::startText(QTextDocument* doc, const QString& text) {
    doc_ = doc;
    pending_ = text;
    pendingAt_ = 0;
    feeding_ = true;
    appendTo(FirstChars);
}

void TextPaneLoading::startRtf(QTextDocument* doc, const QByteArray& rtf) {
    doc_ = doc;
    pictures_ = std::make_unique<PendingPictures>();
    connect(pictures_.get(), &PendingPictures::allFilled, this, &TextPaneLoading::proceed);
    rtf_ = std::make_unique<RtfLoader>(
        rtf, doc, [pictures = pictures_.get()](const RtfPicture& picture, const QTextCursor& at) {
            pictures->add(picture, at);
        });
    feeding_ = true;
    if (rtf_->step(FirstRtfBytes, QDeadlineTimer::Forever)) rtf_.reset();
}

bool TextPaneLoading::isLoading() const {
    return reading_ || stepsLeft() || (pictures_ && !pictures_->isEmpty());
}

bool TextPaneLoading::stepsLeft() const {
    return rtf_ || pendingAt_ < pending_.size();
}

void TextPaneLoading::finish() {
    if (reading_) takeReadContent();
    if (doc_) {
        QTextCursor edit(doc_);
        edit.beginEditBlock(); // one layout at the end
        if (rtf_ && rtf_->step(MaxStep * 1024, QDeadlineTimer::Forever)) rtf_.reset();
        while (stepsLeft())
            appendTo(StepChars);
        edit.endEditBlock();
    }
    if (pictures_) pictures_->finishAll();
    proceed();
}

void TextPaneLoading::appendStep() {
    if (!doc_) return stop();
    QElapsedTimer clock;
    clock.start();
    // One layout per step, not one per insertion.
    QTextCursor edit(doc_);
    edit.beginEditBlock();
    if (rtf_) {
        if (rtf_->step(stepSize_, QDeadlineTimer(StepMs))) rtf_.reset();
    } else {
        appendTo(stepSize_);
    }
    edit.endEditBlock();
    fitStepTo(clock.elapsed());
    proceed();
}

void TextPaneLoading::fitStepTo(qint64 elapsedMs) {
    if (elapsedMs > StepMs)
        stepSize_ = qMax(MinStep, stepSize_ * StepMs / elapsedMs);
    else if (elapsedMs < StepMs / 2)
        stepSize_ = qMin(MaxStep, stepSize_ * 2);
}

void TextPaneLoading::appendTo(qsizetype size) {
    qsizetype end = qMin(pending_.size(), pendingAt_ + size);
    // End a step at a line end where one is near, never inside a CR LF pair or
    // a surrogate pair. Line ends become LF here, step by step, not all at once.
    const qsizetype window = qMin(size / 4, pending_.size() - end);
    const qsizetype lineEnd = QStringView(pending_).sliced(end, window).indexOf(u'\n');
    if (lineEnd >= 0)
        end += lineEnd + 1;
    else if (end < pending_.size() && (pending_[end].isLowSurrogate() || pending_[end] == u'\n'))
        ++end;
    QTextCursor cursor(doc_);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(
        breakLongLines(withLineFeeds(pending_.sliced(pendingAt_, end - pendingAt_)), column_));
    pendingAt_ = end;
}

void TextPaneLoading::proceed() {
    if (isLoading()) {
        if (stepsLeft())
            feeder_->start();
        else
            feeder_->stop(); // what is left comes from a worker thread
        emit stillLoading();
        return;
    }
    feeder_->stop();
    pending_.clear();
    pendingAt_ = 0;
    if (std::exchange(feeding_, false)) emit finished();
}
