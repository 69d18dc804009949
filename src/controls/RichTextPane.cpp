#include "controls/RichTextPane.h"

#include "controls/PendingPictures.h"
#include "controls/TextFileContent.h"
#include "formats/LongLines.h"
#include "formats/TextDecoding.h"
#include "formats/rtf/RtfReader.h"
#include "system/FileTypes.h"
#include "system/PlatformError.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFutureWatcher>
#include <QTextCursor>
#include <QTextDocument>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>
#include <optional>
#include <unistd.h>
#include <utility>

namespace {
// A file up to this is read and decoded at once, in about a millisecond; a
// larger one on a worker thread, the pane showing it when it is ready.
constexpr qint64 ReadAtOnceBytes = 256 * 1024;
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

QFont nfoFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9);
    return font;
}
} // namespace

RichTextPane::RichTextPane(QWidget* parent) : QTextEdit(parent), feeder_(new QTimer(this)) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::WidgetWidth);
    paneFont_ = QFont(QStringLiteral("Sans Serif"));
    paneFont_.setStyleHint(QFont::SansSerif);
    paneFont_.setPointSizeF(8.5);
    document()->setDefaultFont(paneFont_);
    setAutoFillBackground(true);
    feeder_->setInterval(0);
    connect(feeder_, &QTimer::timeout, this, &RichTextPane::appendStep);
}

RichTextPane::~RichTextPane() = default;

QString RichTextPane::unreadableText() {
    return tr("This document could not be read.");
}

void RichTextPane::setFileName(const QString& path) {
    int fd = openTextFile(path);
    std::optional<TextFileContent> content;
    const bool nfo = FileTypes::isNfoName(path);
    if (textFileBytes(fd) <= ReadAtOnceBytes) {
        const std::atomic_bool never{false};
        content = readTextFile(std::exchange(fd, -1), nfo, never);
    }
    stopLoading();
    fileName_ = path;
    if (content)
        present(*content);
    else
        readInBackground(fd, nfo);
}

void RichTextPane::stopLoading() {
    feeder_->stop();
    if (reading_) {
        *readDropped_ = true;
        delete std::exchange(reading_, nullptr); // its result never lands
    }
    pictures_.reset();
    rtf_.reset();
    pending_.clear();
    pendingAt_ = 0;
    column_ = 0;
    stepSize_ = FirstStep;
    feeding_ = false;
}

void RichTextPane::readInBackground(int fd, bool nfo) {
    // Until it is read the pane shows an empty document, not the last one.
    setDocument(newDocument(paneFont_));
    feeding_ = true;
    readDropped_ = std::make_shared<std::atomic_bool>(false);
    reading_ = new QFutureWatcher<TextFileContent>(this);
    connect(reading_, &QFutureWatcherBase::finished, this, &RichTextPane::takeReadContent);
    reading_->setFuture(
        QtConcurrent::run(QThreadPool::globalInstance(), [fd, nfo, dropped = readDropped_] {
            try {
                return readTextFile(fd, nfo, *dropped);
            } catch (const PlatformError&) {
                return TextFileContent{}; // shown as unreadable
            }
        }));
    scheduleRest();
}

void RichTextPane::takeReadContent() {
    reading_->waitForFinished(); // runs it here if it has not started yet
    const TextFileContent content = reading_->result();
    reading_->disconnect(this);
    reading_->deleteLater();
    reading_ = nullptr;
    present(content);
}

void RichTextPane::present(const TextFileContent& content) {
    // NFO art is drawn in lines of its own width: wrapped, its boxes break apart.
    setLineWrapMode(content.kind == TextFileContent::Nfo ? QTextEdit::NoWrap
                                                         : QTextEdit::WidgetWidth);
    switch (content.kind) {
    case TextFileContent::Rtf:
        return showRtf(content.rtf);
    case TextFileContent::Plain:
        return showText(content.text, paneFont_);
    case TextFileContent::Nfo:
        return showText(content.text, nfoFont());
    case TextFileContent::Unreadable:
        return showText(unreadableText(), paneFont_);
    }
}

QTextDocument* RichTextPane::newDocument(const QFont& font) {
    // Parented to the pane, so that the next document replacing it deletes it.
    auto* doc = new QTextDocument(this);
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(font);
    return doc;
}

void RichTextPane::showRtf(const QByteArray& rtf) {
    QTextDocument* doc = newDocument(paneFont_);
    pictures_ = std::make_unique<PendingPictures>();
    connect(pictures_.get(), &PendingPictures::allFilled, this, &RichTextPane::scheduleRest);
    rtf_ = std::make_unique<RtfLoader>(
        rtf, doc, [pictures = pictures_.get()](const RtfPicture& picture, const QTextCursor& at) {
            pictures->add(picture, at);
        });
    feeding_ = true;
    if (rtf_->step(FirstRtfBytes, QDeadlineTimer::Forever)) rtf_.reset();
    setDocument(doc);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scheduleRest();
}

void RichTextPane::showText(const QString& text, const QFont& font) {
    // The first part goes in before the pane shows the document: laid out
    // once instead of after every insertion.
    QTextDocument* doc = newDocument(font);
    pending_ = text;
    pendingAt_ = 0;
    feeding_ = true;
    appendTo(doc, FirstChars);
    setDocument(doc);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scheduleRest();
}

bool RichTextPane::isLoading() const {
    return reading_ || stepsLeft() || (pictures_ && !pictures_->isEmpty());
}

bool RichTextPane::stepsLeft() const {
    return rtf_ || pendingAt_ < pending_.size();
}

void RichTextPane::finishLoading() {
    if (reading_) takeReadContent();
    QTextCursor edit(document());
    edit.beginEditBlock(); // one layout at the end
    if (rtf_ && rtf_->step(MaxStep * 1024, QDeadlineTimer::Forever)) rtf_.reset();
    while (stepsLeft())
        appendTo(document(), StepChars);
    edit.endEditBlock();
    if (pictures_) pictures_->finishAll();
    scheduleRest();
}

void RichTextPane::appendStep() {
    QElapsedTimer clock;
    clock.start();
    // One layout per step, not one per insertion.
    QTextCursor edit(document());
    edit.beginEditBlock();
    if (rtf_) {
        if (rtf_->step(stepSize_, QDeadlineTimer(StepMs))) rtf_.reset();
    } else {
        appendTo(document(), stepSize_);
    }
    edit.endEditBlock();
    fitStepTo(clock.elapsed());
    scheduleRest();
}

void RichTextPane::fitStepTo(qint64 elapsedMs) {
    if (elapsedMs > StepMs)
        stepSize_ = qMax(MinStep, stepSize_ * StepMs / elapsedMs);
    else if (elapsedMs < StepMs / 2)
        stepSize_ = qMin(MaxStep, stepSize_ * 2);
}

void RichTextPane::appendTo(QTextDocument* doc, qsizetype size) {
    qsizetype end = qMin(pending_.size(), pendingAt_ + size);
    // End a step at a line end where one is near, never inside a CR LF pair or
    // a surrogate pair. Line ends become LF here, step by step, not all at once.
    const qsizetype window = qMin(size / 4, pending_.size() - end);
    const qsizetype lineEnd = QStringView(pending_).sliced(end, window).indexOf(u'\n');
    if (lineEnd >= 0)
        end += lineEnd + 1;
    else if (end < pending_.size() && (pending_[end].isLowSurrogate() || pending_[end] == u'\n'))
        ++end;
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(
        breakLongLines(withLineFeeds(pending_.sliced(pendingAt_, end - pendingAt_)), column_));
    pendingAt_ = end;
}

void RichTextPane::scheduleRest() {
    if (isLoading()) {
        // A scroll bar that comes and goes makes the pane lay the whole
        // document out again; a document that grows keeps it.
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        if (stepsLeft())
            feeder_->start();
        else
            feeder_->stop(); // what is left comes from a worker thread
        return;
    }
    feeder_->stop();
    pending_.clear();
    pendingAt_ = 0;
    if (std::exchange(feeding_, false)) emit loadFinished();
}
