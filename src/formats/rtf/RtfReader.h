#pragma once

#include <QByteArray>
#include <QDeadlineTimer>

#include <functional>
#include <memory>

class QTextCursor;
class QTextDocument;
class RtfPicture;

// Whether the bytes are an RTF document, whatever the file is called.
bool isRtf(QByteArrayView bytes);

// Reads an RTF document into an empty QTextDocument: formatting, font and colour
// tables, code pages and Unicode, tables and pictures. Unknown control words and
// destinations leave no trace; damaged input gives what could be read.
void readRtf(QByteArrayView rtf, QTextDocument* document);

class RtfParser;

// Takes each picture of a document in place of decoding it, with a cursor
// before its frame, which the document holds at the picture's shown size.
using RtfPictureSink = std::function<void(const RtfPicture&, const QTextCursor&)>;

// readRtf in steps, so that a large document never holds the caller long:
// each step reads on from where the last one stopped.
class RtfLoader {
  public:
    // With a sink, pictures go there undecoded; else they are decoded here.
    RtfLoader(const QByteArray& rtf, QTextDocument* document, RtfPictureSink pictures = {});
    ~RtfLoader();
    // Reads until the input has advanced by bytes or the deadline has passed;
    // true once the document is complete.
    bool step(qsizetype bytes, QDeadlineTimer deadline);

  private:
    QByteArray rtf_;
    std::unique_ptr<RtfParser> parser_;
};
