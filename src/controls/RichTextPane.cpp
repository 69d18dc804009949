#include "controls/RichTextPane.h"

#include "controls/TextPaneLoading.h"
#include "formats/TextFileContent.h"

#include <QFontDatabase>
#include <QTextDocument>
#include <optional>
#include <utility>

namespace {
// A file up to this is read and decoded at once, in about a millisecond; a
// larger one on a worker thread, the pane showing it when it is ready.
constexpr qint64 ReadAtOnceBytes = 256 * 1024;

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
    int fd = openTextFile(path);
    std::optional<TextFileContent> content;
    const bool nfo = path.endsWith(QStringLiteral(".nfo"), Qt::CaseInsensitive);
    if (textFileBytes(fd) <= ReadAtOnceBytes) {
        const std::atomic_bool never{false};
        content = readTextFile(std::exchange(fd, -1), nfo, never);
    }
    loading_->stop();
    fileName_ = path;
    if (content) return present(*content);
    // Until it is read the pane shows an empty document, not the last one.
    setDocument(newDocument(paneFont_));
    loading_->readInBackground(fd, nfo);
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

bool RichTextPane::isLoading() const {
    return loading_->isLoading();
}

void RichTextPane::finishLoading() {
    loading_->finish();
}
