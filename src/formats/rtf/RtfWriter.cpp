#include "formats/rtf/RtfWriter.h"

#include "formats/LongLines.h"
#include "formats/rtf/RtfFormats.h"

#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <utility>

namespace {
QImage transparentPixel() {
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    return empty;
}
} // namespace

RtfWriter::RtfWriter(QTextDocument* document, const RtfFontTable& fonts,
                     const RtfColorTable& colors)
    : document_(document), fonts_(fonts), colors_(colors), cursor_(document) {
    cursor_.movePosition(QTextCursor::End);
    setDefaultTab(720); // RTF's default: half an inch
}

void RtfWriter::setDefaultTab(int twips) {
    QTextOption option = document_->defaultTextOption();
    option.setTabStopDistance(qMax(1.0, rtfTwipsToPixels(twips)));
    document_->setDefaultTextOption(option);
}

void RtfWriter::text(const QString& text, const RtfCharState& chars, bool inTable) {
    if (text.isEmpty() || chars.hidden) return;
    if (!run_.isEmpty() && (chars != runChars_ || inTable != runInTable_)) flush();
    run_ += text;
    runChars_ = chars;
    runInTable_ = inTable;
    if (run_.size() >= MaxParagraphChars) flush(); // no huge insertion at once
}

void RtfWriter::flush() {
    if (run_.isEmpty()) return;
    tables_.place(cursor_, runInTable_);
    // Line breaks inside a paragraph stay line breaks, not new paragraphs.
    run_.replace(u'\n', QChar::LineSeparator);
    const QTextCharFormat format = rtfCharFormat(runChars_, defaultFont_, fonts_, colors_);
    QStringView rest(run_);
    while (cursor_.positionInBlock() + rest.size() > MaxParagraphChars) {
        // An overlong paragraph goes on in a new one: see MaxParagraphChars.
        const qsizetype piece =
            paragraphPiece(rest, MaxParagraphChars - cursor_.positionInBlock());
        cursor_.insertText(rest.first(piece).toString(), format);
        cursor_.insertBlock();
        rest = rest.sliced(piece);
    }
    cursor_.insertText(rest.toString(), format);
    run_.clear();
}

void RtfWriter::image(const QImage& image, QSizeF size, bool inTable) {
    pictureBytes_ += image.sizeInBytes();
    if (picturesFull()) return emptyFrame(size, inTable);
    insertImage(newPicture(image), size, inTable);
}

QTextCursor RtfWriter::pictureFrame(QSizeF size, qint64 bytes, bool inTable) {
    pictureBytes_ += bytes;
    if (picturesFull()) {
        emptyFrame(size, inTable);
        return {};
    }
    insertImage(newPicture(transparentPixel()), size, inTable);
    QTextCursor before(cursor_);
    before.movePosition(QTextCursor::PreviousCharacter);
    return before;
}

void RtfWriter::emptyFrame(QSizeF size, bool inTable) {
    const QUrl name(QStringLiteral("rtfpicture:empty"));
    if (!std::exchange(hasEmptyFrame_, true))
        document_->addResource(QTextDocument::ImageResource, name, transparentPixel());
    insertImage(name, size, inTable);
}

QUrl RtfWriter::newPicture(const QImage& image) {
    const QUrl name(QStringLiteral("rtfpicture:%1").arg(++images_));
    document_->addResource(QTextDocument::ImageResource, name, image);
    return name;
}

void RtfWriter::insertImage(const QUrl& name, QSizeF size, bool inTable) {
    flush();
    tables_.place(cursor_, inTable);
    QTextImageFormat format;
    format.setName(name.toString());
    format.setWidth(size.width());
    format.setHeight(size.height());
    cursor_.insertImage(format);
}

void RtfWriter::endParagraph(const RtfParaState& para) {
    flush();
    tables_.place(cursor_, para.inTable);
    cursor_.setBlockFormat(rtfBlockFormat(para));
    cursor_.insertBlock();
}

void RtfWriter::endCell(const RtfParaState& para) {
    flush();
    tables_.place(cursor_, true);
    cursor_.setBlockFormat(rtfBlockFormat(para));
    tables_.cellEnded();
}

void RtfWriter::endRow() {
    flush();
    tables_.rowEnded();
}

void RtfWriter::finish(const RtfParaState& para) {
    flush();
    tables_.close(cursor_);
    if (cursor_.block().length() > 1) cursor_.setBlockFormat(rtfBlockFormat(para));
    cursor_.movePosition(QTextCursor::End);
    const QTextBlock end = cursor_.block();
    if (end.length() == 1 && end.previous().isValid() &&
        !QTextCursor(end.previous()).currentTable())
        cursor_.deletePreviousChar();
}
