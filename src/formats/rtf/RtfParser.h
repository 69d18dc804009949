#pragma once

#include "formats/rtf/RtfControlWords.h"
#include "formats/rtf/RtfDeferred.h"
#include "formats/rtf/RtfLists.h"
#include "formats/rtf/RtfPicture.h"
#include "formats/rtf/RtfReader.h"
#include "formats/rtf/RtfState.h"
#include "formats/rtf/RtfTables.h"
#include "formats/rtf/RtfTokenizer.h"
#include "formats/rtf/RtfWriter.h"

#include <QDeadlineTimer>

#include <vector>

// The reading behind readRtf: a group stack over the token stream, handing
// body text to the writer and table, picture and font data to their collectors.
class RtfParser {
  public:
    RtfParser(QByteArrayView rtf, QTextDocument* document);
    void run();
    // Reads on until the input has advanced by bytes or the deadline has
    // passed; true once the document is complete.
    bool step(qsizetype bytes, QDeadlineTimer deadline);
    void deferPictures(RtfPictureSink sink) { pictureSink_ = std::move(sink); }

  private:
    RtfGroupState& state() { return stack_.back(); }
    void token(const RtfToken& token, bool ignorable);
    void groupStart();
    void groupEnd();
    void symbol(char c);
    void textBytes(QByteArrayView bytes);
    void hexByte(unsigned char byte);
    void flushBytes();
    void flushLongRun();
    void put(const QString& text);
    void endPicture();
    void setTokenizerCodePage();

    // RtfParserParts.cpp: paragraphs, lists, notes, text boxes and fields
    void endParagraph();
    void startParagraph();
    void listWord(const RtfWordInfo& info, const RtfToken& token);
    bool partWord(const RtfWordInfo& info, const RtfToken& token);
    QString noteMark();
    bool endnoteAhead() const;
    void closedGroup(const RtfGroupState& closed, size_t depth);
    bool writeAside(const RtfParaState& last, qsizetype budget);

    // RtfParserWords.cpp and RtfParserProperties.cpp
    void word(const RtfToken& token, bool ignorable);
    void bodyWord(const RtfWordInfo& info, const RtfToken& token);
    bool charWord(const RtfWordInfo& info, const RtfToken& token);
    bool paraWord(const RtfWordInfo& info, const RtfToken& token);
    void unicode(int value);

    RtfTokenizer tokenizer_;
    RtfFontTable fonts_;
    RtfColorTable colors_;
    RtfPicture picture_;
    RtfPictureSink pictureSink_;
    RtfWriter writer_;
    std::vector<RtfGroupState> stack_;
    RtfParaState lastPara_;
    QByteArray bytes_; // text bytes not yet decoded
    int overflow_ = 0; // open groups beyond the depth bound
    int fallback_ = 0; // \u fallback characters still to skip
    bool ignorable_ = false;
    bool ended_ = false;
    bool finished_ = false;
    int defaultFont_ = 0;
    bool atGroupStart_ = false; // the token being read follows an opening brace

    struct Field {
        size_t depth = 0; // of the group \field opened
        QString code;
        bool shown = false; // its result showed something
    };
    std::vector<Field> fields_;
    RtfLists lists_;
    RtfDeferred footnotes_, endnotes_, boxes_;
    int footnoteCount_ = 0, endnoteCount_ = 0;
    int footnoteFormat_ = 0, endnoteFormat_ = 0;
    bool paragraphStarted_ = false; // the body paragraph has had text (or its number)
    bool listTextSeen_ = false;     // it brought its number as text
    QString listText_;              // that text, shown when the paragraph starts
    RtfCharState listTextChars_;    // in its own font (a bullet's symbol font)
    bool listTextReset_ = false;    // a \pard came after it
    bool shapeText_ = false;        // the shape being read has a text box
    bool asideBegun_ = false;       // the body is over; what was kept aside is being written
    bool ruleDue_ = false;          // the rule before the notes is still to come
};
