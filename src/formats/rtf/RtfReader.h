#pragma once

#include <QByteArray>
#include <QDeadlineTimer>

#include <memory>

class QTextDocument;

// Whether the bytes are an RTF document, whatever the file is called.
bool isRtf(QByteArrayView bytes);

// Reads an RTF document into an empty QTextDocument: formatting, font and colour
// tables, code pages and Unicode, tables and pictures. Unknown control words and
// destinations leave no trace; damaged input gives what could be read.
void readRtf(QByteArrayView rtf, QTextDocument* document);

class RtfParser;

// readRtf in steps, so that a large document never holds the caller long:
// each step reads on from where the last one stopped.
class RtfLoader {
  public:
    RtfLoader(const QByteArray& rtf, QTextDocument* document);
    ~RtfLoader();
    // Reads until the input has advanced by bytes or the deadline has passed;
    // true once the document is complete.
    bool step(qsizetype bytes, QDeadlineTimer deadline);

  private:
    QByteArray rtf_;
    std::unique_ptr<RtfParser> parser_;
};
