#include "controls/RichTextPane.h"

#include "formats/LongLines.h"
#include "formats/TextDecoding.h"
#include "formats/rtf/RtfReader.h"
#include "formats/worddoc/CompoundFile.h"
#include "formats/worddoc/WordText.h"
#include "system/FileNames.h"
#include "system/PlatformError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <utility>

namespace {
// A text-type file beyond this is shown from its start only.
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
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

QByteArray readFile(const QString& path) {
    QFile file;
    try {
        file.open(FileNames::openRegularFile(path), QIODevice::ReadOnly,
                  QFileDevice::AutoCloseHandle);
    } catch (const PlatformError& e) {
        if (e.number() == Err::FileNotFound) throw;
        throw PlatformError(Err::PermissionDenied, e.detail()); // the control's one other refusal
    }
    QByteArray bytes = file.size() <= MaxFileBytes ? file.readAll() : file.read(MaxFileBytes);
    if (file.error() != QFileDevice::NoError)
        throw PlatformError(Err::DeviceIO, file.errorString());
    return bytes;
}

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
    const QByteArray bytes = readFile(path);
    fileName_ = path;
    feeder_->stop();
    pending_.clear();
    pendingAt_ = 0;
    column_ = 0;
    rtf_.reset();
    stepSize_ = FirstStep;
    feeding_ = false;
    // NFO art is drawn in lines of its own width: wrapped, its boxes break apart.
    const bool nfo = path.endsWith(QStringLiteral(".nfo"), Qt::CaseInsensitive);
    setLineWrapMode(nfo && !isRtf(bytes) && !isCompoundFile(bytes) ? QTextEdit::NoWrap
                                                                   : QTextEdit::WidgetWidth);
    if (isRtf(bytes)) {
        QTextDocument* doc = newDocument(paneFont_);
        rtf_ = std::make_unique<RtfLoader>(bytes, doc);
        feeding_ = true;
        if (rtf_->step(FirstRtfBytes, QDeadlineTimer::Forever)) rtf_.reset();
        setDocument(doc);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        scheduleRest();
    } else if (isCompoundFile(bytes)) {
        showText(wordDocumentText(bytes).value_or(unreadableText()), paneFont_);
    } else if (nfo) {
        showText(decodeCodePage(bytes, 437), nfoFont());
    } else if (looksBinary(bytes)) {
        showText(unreadableText(), paneFont_);
    } else {
        showText(decodeText(bytes), paneFont_);
    }
}

QTextDocument* RichTextPane::newDocument(const QFont& font) {
    // Parented to the pane, so that the next document replacing it deletes it.
    auto* doc = new QTextDocument(this);
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(font);
    return doc;
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
    return rtf_ || pendingAt_ < pending_.size();
}

void RichTextPane::finishLoading() {
    QTextCursor edit(document());
    edit.beginEditBlock(); // one layout at the end
    if (rtf_ && rtf_->step(MaxStep * 1024, QDeadlineTimer::Forever)) rtf_.reset();
    while (isLoading())
        appendTo(document(), StepChars);
    edit.endEditBlock();
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
        feeder_->start();
        return;
    }
    feeder_->stop();
    pending_.clear();
    pendingAt_ = 0;
    if (std::exchange(feeding_, false)) emit loadFinished();
}
