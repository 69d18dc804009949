#pragma once

#include "formats/rtf/RtfState.h"
#include "formats/rtf/RtfTableBuilder.h"

#include <QTextBlock>
#include <QTextCursor>

class QImage;
class QUrl;
class QTextDocument;
class RtfFontTable;
class RtfColorTable;

// Writes the body of an RTF document into a QTextDocument through a cursor,
// collecting runs of equally formatted text before inserting them.
class RtfWriter {
  public:
    RtfWriter(QTextDocument* document, const RtfFontTable& fonts, const RtfColorTable& colors);

    void setDefaultFont(int font) { defaultFont_ = font; }
    void setDefaultTab(int twips);
    void text(const QString& text, const RtfCharState& chars, bool inTable);
    void image(const QImage& image, QSizeF size, bool inTable);
    // The place of a picture left out, once a document's pictures take
    // all the memory they may.
    void emptyFrame(QSizeF size, bool inTable);
    // The place of a picture decoded elsewhere: its frame at the size shown,
    // empty until an image is added under the frame's name. The cursor stands
    // before the frame; a null cursor when the pictures are full.
    QTextCursor pictureFrame(QSizeF size, qint64 bytes, bool inTable);
    bool picturesFull() const { return pictureBytes_ >= MaxPictureBytes; }
    static constexpr qint64 MaxPictureBytes = 256LL * 1024 * 1024;
    void endParagraph(const RtfParaState& para);
    void endCell(const RtfParaState& para);
    void endRow();
    RtfTableBuilder& tables() { return tables_; }
    // Whether the paragraph being written has nothing in it yet.
    bool blockEmpty() const { return run_.isEmpty() && cursor_.block().length() <= 1; }
    // Ends the last paragraph; a trailing empty one left by the final \par goes.
    void finish(const RtfParaState& para);

  private:
    void flush();
    // The image as the document's next picture, under the name returned.
    QUrl newPicture(const QImage& image);
    void insertImage(const QUrl& name, QSizeF size, bool inTable);

    QTextDocument* document_;
    const RtfFontTable& fonts_;
    const RtfColorTable& colors_;
    QTextCursor cursor_;
    RtfTableBuilder tables_;
    int defaultFont_ = 0;
    int images_ = 0;
    qint64 pictureBytes_ = 0;
    bool hasEmptyFrame_ = false;
    QString run_;
    RtfCharState runChars_;
    bool runInTable_ = false;
};
