#include "formats/rtf/RtfParser.h"

#include "formats/TextDecoding.h"
#include "formats/rtf/RtfReader.h"

#include <QTextDocument>
#include <limits>
#include <utility>

namespace {
// Deeper groups are read for their braces only; real documents nest far less.
constexpr size_t MaxDepth = 128;
// A step goes on past its budget to the end of an open table part, by at most
// this much more, so that a part is laid out once rather than once per step.
constexpr qsizetype PartBytes = 256 * 1024;
constexpr qint64 PartMs = 60;
// What a table cell weighs against a step's bytes: Qt's layout of a cell
// costs about as much as that much text.
constexpr qsizetype CellBytes = 64;
// A run of body text longer than this goes to the document in parts.
constexpr qsizetype LongRunBytes = 8192;

// Code pages in which one character may span several bytes: a run in them
// is decoded whole, never cut.
bool spansBytes(int codePage) {
    return isDoubleByteCodePage(codePage) || codePage == 65001;
}
} // namespace

bool isRtf(QByteArrayView bytes) {
    return bytes.startsWith("{\\rtf");
}

void readRtf(QByteArrayView rtf, QTextDocument* document) {
    RtfParser(rtf, document).run();
}

RtfLoader::RtfLoader(const QByteArray& rtf, QTextDocument* document, RtfPictureSink pictures)
    : rtf_(rtf), parser_(std::make_unique<RtfParser>(rtf_, document)) {
    parser_->deferPictures(std::move(pictures));
}

RtfLoader::~RtfLoader() = default;

bool RtfLoader::step(qsizetype bytes, QDeadlineTimer deadline) {
    return parser_->step(bytes, deadline);
}

RtfParser::RtfParser(QByteArrayView rtf, QTextDocument* document)
    : tokenizer_(rtf), writer_(document, fonts_, colors_) {
    stack_.emplace_back();
}

void RtfParser::run() {
    step(std::numeric_limits<qsizetype>::max(), QDeadlineTimer::Forever);
}

bool RtfParser::step(qsizetype bytes, QDeadlineTimer deadline) {
    if (finished_) return true;
    const qsizetype until =
        tokenizer_.position() + qMin(bytes, std::numeric_limits<qsizetype>::max() / 2);
    const QDeadlineTimer partDeadline =
        deadline.isForever() ? deadline : QDeadlineTimer(deadline.remainingTime() + PartMs);
    const qsizetype cells = writer_.tables().cells();
    for (int n = 1; !ended_; ++n) {
        const qsizetype weight =
            tokenizer_.position() + (writer_.tables().cells() - cells) * CellBytes;
        const bool spent = weight >= until || (n % 64 == 0 && deadline.hasExpired());
        if (spent && (!writer_.tables().partOpen() || tokenizer_.position() >= until + PartBytes ||
                      partDeadline.hasExpired()))
            return false;
        setTokenizerCodePage();
        const RtfToken next = tokenizer_.next();
        if (next.kind == RtfToken::End) break;
        if (next.kind != RtfToken::Text && next.kind != RtfToken::Hex) flushBytes();
        token(next, std::exchange(ignorable_, false));
        atGroupStart_ = next.kind == RtfToken::GroupStart;
    }
    flushBytes();
    const RtfParaState& last = ended_ ? lastPara_ : state().para;
    // What was kept aside follows, in steps of its own.
    if (!writeAside(last, qMax<qsizetype>(bytes, 1))) return false;
    writer_.finish(last);
    finished_ = true;
    return true;
}

void RtfParser::setTokenizerCodePage() {
    int codePage = 0;
    if (carriesText(state().destination)) {
        const int font = state().chars.font < 0 ? defaultFont_ : state().chars.font;
        codePage = fonts_.codePage(font);
    }
    tokenizer_.setDoubleByteCodePage(isDoubleByteCodePage(codePage) ? codePage : 0);
}

void RtfParser::token(const RtfToken& token, bool ignorable) {
    const bool brace = token.kind == RtfToken::GroupStart || token.kind == RtfToken::GroupEnd;
    if (brace) fallback_ = 0; // a group ends any \u fallback
    if (overflow_ > 0 && brace) {
        overflow_ += token.kind == RtfToken::GroupStart ? 1 : -1;
        return;
    }
    if (overflow_ > 0 || (!brace && state().destination == RtfDestination::Skip)) return;
    if (fallback_ > 0 && token.kind != RtfToken::Text && token.kind != RtfToken::Hex && !brace) {
        --fallback_; // a control word or symbol counts as one fallback character
        return;
    }
    switch (token.kind) {
    case RtfToken::GroupStart:
        return groupStart();
    case RtfToken::GroupEnd:
        return groupEnd();
    case RtfToken::Word:
        return word(token, ignorable);
    case RtfToken::Symbol:
        return symbol(token.symbol);
    case RtfToken::Text:
        return textBytes(token.data);
    case RtfToken::Hex:
        return hexByte(token.byte);
    case RtfToken::Binary:
        if (state().destination == RtfDestination::Picture) picture_.binary(token.data);
        return;
    case RtfToken::End:
        return;
    }
}

void RtfParser::groupStart() {
    if (stack_.size() > MaxDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(state());
    if (state().destination == RtfDestination::Lists) lists_.groupStart();
}

void RtfParser::groupEnd() {
    if (stack_.size() <= 1) {
        ended_ = true; // a stray closing brace ends the document
        return;
    }
    const size_t depth = stack_.size();
    const RtfGroupState closed = std::move(stack_.back());
    stack_.pop_back();
    if (stack_.size() == 1) {
        ended_ = true;
        lastPara_ = closed.para;
    }
    closedGroup(closed, depth);
    if (closed.destination == state().destination) return;
    if (closed.destination == RtfDestination::FontTable) fonts_.endGroup();
    if (closed.destination == RtfDestination::Picture &&
        state().destination == RtfDestination::Body)
        endPicture();
}

void RtfParser::endPicture() {
    startParagraph(); // a list number goes before the picture
    const bool inTable = state().para.inTable;
    if (writer_.picturesFull()) {
        writer_.emptyFrame(picture_.displaySize(picture_.statedSize()), inTable);
        return;
    }
    if (pictureSink_) {
        // Its frame goes in now, at the size the header promises; the sink
        // decodes it elsewhere, and takes the frame away if that fails.
        if (!picture_.hasData()) return;
        const QSize own = picture_.headerSize();
        const QSizeF shown = picture_.displaySize(own);
        const QTextCursor frame =
            writer_.pictureFrame(shown, RtfPicture::shownBytes(own, shown), inTable);
        if (!frame.isNull()) pictureSink_(picture_, frame);
        return;
    }
    const QImage image = picture_.image();
    if (!image.isNull()) writer_.image(image, picture_.displaySize(image.size()), inTable);
}

void RtfParser::symbol(char c) {
    if (c == '*') {
        // Only first in its group does it mark a destination; elsewhere it is noise.
        ignorable_ = atGroupStart_;
        return;
    }
    if (c == '\\' || c == '{' || c == '}') return textBytes(QByteArrayView(&c, 1));
    if (!carriesText(state().destination)) return;
    switch (c) {
    case '~':
        return put(QString(QChar(0x00A0)));
    case '-':
        return put(QString(QChar(0x00AD)));
    case '_':
        return put(QString(QChar(0x2011)));
    case '\t':
        return put(QStringLiteral("\t"));
    case '\n':
    case '\r':
        return endParagraph();
    default:
        return; // \: \| and broken escapes show nothing
    }
}

void RtfParser::textBytes(QByteArrayView bytes) {
    if (fallback_ > 0) {
        const qsizetype skipped = qMin<qsizetype>(fallback_, bytes.size());
        bytes = bytes.sliced(skipped);
        fallback_ -= int(skipped);
    }
    switch (state().destination) {
    case RtfDestination::Body:
    case RtfDestination::Note:
    case RtfDestination::TextBox:
    case RtfDestination::FieldCode:
    case RtfDestination::ListText:
        bytes_.append(bytes);
        flushLongRun();
        break;
    case RtfDestination::Lists:
        lists_.text(decodeWindows1252(bytes));
        break;
    case RtfDestination::FontTable:
        fonts_.text(bytes);
        break;
    case RtfDestination::ColorTable:
        colors_.text(bytes);
        break;
    case RtfDestination::Picture:
        picture_.hexDigits(bytes);
        break;
    case RtfDestination::Shape:
    case RtfDestination::Skip:
        break;
    }
}

void RtfParser::hexByte(unsigned char byte) {
    if (fallback_ > 0) {
        --fallback_;
        return;
    }
    if (carriesText(state().destination)) {
        bytes_.append(char(byte));
        flushLongRun();
    } else if (state().destination == RtfDestination::FontTable) {
        fonts_.byte(byte);
    } else if (state().destination == RtfDestination::Lists) {
        const char c = char(byte);
        lists_.text(decodeWindows1252(QByteArrayView(&c, 1)));
    }
}

void RtfParser::flushLongRun() {
    // A long run goes to the document in parts, so that no one step of a
    // stepwise load inserts all of it; not where a character spans bytes.
    if (bytes_.size() < LongRunBytes) return;
    const int font = state().chars.font < 0 ? defaultFont_ : state().chars.font;
    if (!spansBytes(fonts_.codePage(font))) flushBytes();
}

void RtfParser::flushBytes() {
    if (bytes_.isEmpty()) return;
    const int font = state().chars.font < 0 ? defaultFont_ : state().chars.font;
    put(decodeCodePage(bytes_, fonts_.codePage(font)));
    bytes_.clear();
}
