#include "formats/rtf/RtfParser.h"

#include "formats/TextDecoding.h"
#include "formats/rtf/RtfReader.h"

#include <QTextDocument>
#include <limits>
#include <utility>

namespace {
// Deeper groups are read for their braces only; real documents nest far less.
constexpr size_t MaxDepth = 128;
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
    const qsizetype until = tokenizer_.position() + qMin(bytes, std::numeric_limits<qsizetype>::max() / 2);
    for (int n = 1; !ended_; ++n) {
        if (tokenizer_.position() >= until || (n % 64 == 0 && deadline.hasExpired())) return false;
        const RtfToken next = tokenizer_.next();
        if (next.kind == RtfToken::End) break;
        if (next.kind != RtfToken::Text && next.kind != RtfToken::Hex) flushBytes();
        token(next, std::exchange(ignorable_, false));
    }
    flushBytes();
    writer_.finish(ended_ ? lastPara_ : state().para);
    finished_ = true;
    return true;
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
}

void RtfParser::groupEnd() {
    if (stack_.size() <= 1) {
        ended_ = true; // a stray closing brace ends the document
        return;
    }
    const RtfGroupState closed = std::move(stack_.back());
    stack_.pop_back();
    if (stack_.size() == 1) {
        ended_ = true;
        lastPara_ = closed.para;
    }
    if (closed.destination == state().destination) return;
    if (closed.destination == RtfDestination::FontTable) fonts_.endGroup();
    if (closed.destination == RtfDestination::Picture &&
        state().destination == RtfDestination::Body)
        endPicture();
}

void RtfParser::endPicture() {
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
        ignorable_ = true;
        return;
    }
    if (c == '\\' || c == '{' || c == '}') return textBytes(QByteArrayView(&c, 1));
    if (state().destination != RtfDestination::Body) return;
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
        return writer_.endParagraph(state().para);
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
        bytes_.append(bytes);
        flushLongRun();
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
    case RtfDestination::Skip:
        break;
    }
}

void RtfParser::hexByte(unsigned char byte) {
    if (fallback_ > 0) {
        --fallback_;
        return;
    }
    if (state().destination == RtfDestination::Body) {
        bytes_.append(char(byte));
        flushLongRun();
    } else if (state().destination == RtfDestination::FontTable)
        fonts_.byte(byte);
}

void RtfParser::flushLongRun() {
    // A long run goes to the document in parts, so that no one step of a
    // stepwise load inserts all of it; not where a character spans bytes.
    if (bytes_.size() < 8192) return;
    const int font = state().chars.font < 0 ? defaultFont_ : state().chars.font;
    switch (fonts_.codePage(font)) {
    case 932: case 936: case 949: case 950: case 1361: case 65001:
        return;
    default:
        flushBytes();
    }
}

void RtfParser::flushBytes() {
    if (bytes_.isEmpty()) return;
    const int font = state().chars.font < 0 ? defaultFont_ : state().chars.font;
    put(decodeCodePage(bytes_, fonts_.codePage(font)));
    bytes_.clear();
}

void RtfParser::put(const QString& text) {
    writer_.text(text, state().chars, state().para.inTable);
}
