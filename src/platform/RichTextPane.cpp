#include "platform/RichTextPane.h"

#include "platform/PlatformError.h"
#include "platform/TextDecoding.h"
#include "platform/rtf/RtfReader.h"
#include "platform/worddoc/CompoundFile.h"
#include "platform/worddoc/WordText.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {
// A text-type file beyond this is shown from its start only.
constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
// Text added per step: small enough to keep the window responsive.
constexpr qsizetype ChunkChars = 128 * 1024;

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path)) throw PlatformError(Err::FileNotFound, path);
        throw PlatformError(Err::PermissionDenied, file.errorString());
    }
    QByteArray bytes = file.read(MaxFileBytes);
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
    connect(feeder_, &QTimer::timeout, this, &RichTextPane::appendChunk);
}

QString RichTextPane::unreadableText() {
    return tr("This document could not be read.");
}

void RichTextPane::setFileName(const QString& path) {
    const QByteArray bytes = readFile(path);
    fileName_ = path;
    feeder_->stop();
    pending_.clear();
    pendingAt_ = 0;
    if (isRtf(bytes)) {
        QTextDocument* doc = newDocument(paneFont_);
        readRtf(bytes, doc);
        setDocument(doc);
    } else if (isCompoundFile(bytes)) {
        showText(wordDocumentText(bytes).value_or(unreadableText()), paneFont_);
    } else if (path.endsWith(QStringLiteral(".nfo"), Qt::CaseInsensitive)) {
        showText(withLineFeeds(decodeCodePage(bytes, 437)), nfoFont());
    } else if (looksBinary(bytes)) {
        showText(unreadableText(), paneFont_);
    } else {
        showText(withLineFeeds(decodeText(bytes)), paneFont_);
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
    setDocument(newDocument(font));
    pending_ = text;
    pendingAt_ = 0;
    appendChunk();
}

bool RichTextPane::isLoading() const {
    return pendingAt_ < pending_.size();
}

void RichTextPane::finishLoading() {
    while (isLoading())
        appendChunk();
}

void RichTextPane::appendChunk() {
    qsizetype end = qMin(pending_.size(), pendingAt_ + ChunkChars);
    // End a step at a line end where one is near, never inside a surrogate pair.
    const qsizetype lineEnd = pending_.indexOf(u'\n', end);
    if (end < pending_.size() && lineEnd >= 0 && lineEnd - end < ChunkChars / 4)
        end = lineEnd + 1;
    else if (end < pending_.size() && pending_[end].isLowSurrogate())
        ++end;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringView(pending_).sliced(pendingAt_, end - pendingAt_).toString());
    pendingAt_ = end;
    if (isLoading()) {
        feeder_->start();
        return;
    }
    feeder_->stop();
    pending_.clear();
    pendingAt_ = 0;
    emit loadFinished();
}
