#include "controls/RichTextPane.h"

#include "controls/LargeTextView.h"
#include "controls/TextPaneLoading.h"
#include "formats/TextEncoding.h"
#include "formats/TextFileContent.h"
#include "system/FileTypes.h"

#include <QFontDatabase>
#include <QTextDocument>
#include <optional>
#include <utility>

namespace {
// A file up to this is read and decoded at once, in about a millisecond; a
// larger one on a worker thread, the pane showing it when it is ready.
constexpr qint64 ReadAtOnceBytes = 256 * 1024;
// A plain text beyond this shows in the large-text view. The pane's document
// holds some 550 bytes per line and fills at a few MB a second: 4 MB of short
// lines cost it about 100 MB and a second or so, and both grow with the file;
// the large view shows any size at once and holds four bytes a line.
constexpr qint64 LargeTextBytes = 4 * 1024 * 1024;
// What the large view's encoding and the binary test are judged on.
constexpr qint64 SampleBytes = 64 * 1024;

QFont nfoFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(9);
    return font;
}
} // namespace

RichTextPane::RichTextPane(QWidget* parent)
    : QTextEdit(parent), loading_(new TextPaneLoading(this)) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::WidgetWidth);
    paneFont_ = QFont(QStringLiteral("Sans Serif"));
    paneFont_.setStyleHint(QFont::SansSerif);
    paneFont_.setPointSizeF(8.5);
    document()->setDefaultFont(paneFont_);
    setAutoFillBackground(true);
    connect(loading_, &TextPaneLoading::contentRead, this, &RichTextPane::present);
    // A scroll bar that comes and goes makes the pane lay the whole document
    // out again; a document that grows keeps it.
    connect(loading_, &TextPaneLoading::stillLoading, this,
            [this] { setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); });
    connect(loading_, &TextPaneLoading::finished, this, &RichTextPane::loadFinished);
}

RichTextPane::~RichTextPane() = default;

QString RichTextPane::unreadableText() {
    return tr("This document could not be read.");
}

void RichTextPane::setFileName(const QString& path) {
    FileHandle file = openTextFile(path);
    std::optional<TextFileContent> content;
    const bool nfo = FileTypes::isNfoName(path);
    const qint64 size = textFileBytes(file.fd());
    QByteArray start;
    LargeTextFile large = LargeTextFile::ReadWhole;
    if (size <= ReadAtOnceBytes) {
        const std::atomic_bool never{false};
        content = readTextFile(std::move(file), nfo, never);
    } else if (size > LargeTextBytes) {
        start = textFileStart(file.fd(), SampleBytes);
        large = largeTextFile(start, nfo);
        if (large == LargeTextFile::Unreadable) {
            file.reset();
            content = TextFileContent{};
        }
    }
    loading_->stop();
    fileName_ = path;
    if (large == LargeTextFile::InPieces) return showLarge(std::move(file), start, nfo);
    hideLarge();
    if (content) return present(*content);
    // Until it is read the pane shows an empty document, not the last one.
    setDocument(newDocument(paneFont_));
    loading_->readInBackground(std::move(file), nfo);
}

void RichTextPane::present(const TextFileContent& content) {
    // NFO art is drawn in lines of its own width: wrapped, its boxes break apart.
    setLineWrapMode(content.kind == TextFileContent::Nfo ? QTextEdit::NoWrap
                                                         : QTextEdit::WidgetWidth);
    // The first part goes in before the pane shows the document: laid out
    // once instead of after every insertion.
    QTextDocument* doc = newDocument(content.kind == TextFileContent::Nfo ? nfoFont() : paneFont_);
    switch (content.kind) {
    case TextFileContent::Rtf:
        loading_->startRtf(doc, content.rtf);
        break;
    case TextFileContent::Plain:
    case TextFileContent::Nfo:
        loading_->startText(doc, content.text);
        break;
    case TextFileContent::Unreadable:
        loading_->startText(doc, unreadableText());
        break;
    }
    showDocument(doc);
}

QTextDocument* RichTextPane::newDocument(const QFont& font) {
    // Parented to the pane, so that the next document replacing it deletes it.
    auto* doc = new QTextDocument(this);
    doc->setUndoRedoEnabled(false);
    doc->setDefaultFont(font);
    return doc;
}

void RichTextPane::showDocument(QTextDocument* doc) {
    setDocument(doc);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    loading_->proceed();
}

void RichTextPane::showLarge(FileHandle file, const QByteArray& start, bool nfo) {
    if (!large_) {
        large_ = new LargeTextView(this);
        connect(large_, &LargeTextView::indexed, this, &RichTextPane::loadFinished);
    }
    // The pane's own document goes, with all it held.
    setDocument(newDocument(paneFont_));
    large_->setFont(nfo ? nfoFont() : paneFont_);
    large_->open(std::move(file), TextEncoding::ofSample(start, nfo));
    large_->setGeometry(rect());
    large_->show();
    large_->raise();
    setFocusProxy(large_);
}

void RichTextPane::hideLarge() {
    if (!large_ || large_->isHidden()) return;
    large_->closeFile();
    large_->hide();
    setFocusProxy(nullptr);
}

LargeTextView* RichTextPane::largeText() const {
    return large_ && !large_->isHidden() ? large_ : nullptr;
}

void RichTextPane::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    if (large_) large_->setGeometry(rect());
}

bool RichTextPane::isLoading() const {
    return loading_->isLoading() || (largeText() && large_->isIndexing());
}

void RichTextPane::finishLoading() {
    loading_->finish();
    if (largeText()) large_->finishIndexing();
}
