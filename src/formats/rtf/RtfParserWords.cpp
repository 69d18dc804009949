#include "formats/rtf/RtfParser.h"

void RtfParser::word(const RtfToken& token, bool ignorable) {
    const RtfWordInfo info = lookupRtfWord(token.data);
    RtfDestination& destination = state().destination;
    if (info.word == RtfWord::Unicode) return unicode(token.param);
    if (ignorable) {
        // \* marks a destination we may skip; of those we only read \shppict.
        if (info.word != RtfWord::BodyDestination || destination != RtfDestination::Body)
            destination = RtfDestination::Skip;
        return;
    }
    switch (destination) {
    case RtfDestination::FontTable:
        if (info.word == RtfWord::Picture || info.word == RtfWord::SkipDestination)
            destination = RtfDestination::Skip;
        else
            fonts_.word(info, token);
        return;
    case RtfDestination::ColorTable:
        return colors_.word(info, token);
    case RtfDestination::Picture:
        return picture_.word(info, token);
    case RtfDestination::Body:
        return bodyWord(info, token);
    case RtfDestination::Skip:
        return;
    }
}

void RtfParser::bodyWord(const RtfWordInfo& info, const RtfToken& token) {
    if (charWord(info, token) || paraWord(info, token)) return;
    RtfGroupState& group = state();
    switch (info.word) {
    case RtfWord::FontTable:
        group.destination = RtfDestination::FontTable;
        break;
    case RtfWord::ColorTable:
        group.destination = RtfDestination::ColorTable;
        break;
    case RtfWord::SkipDestination:
        group.destination = RtfDestination::Skip;
        break;
    case RtfWord::Picture:
        group.destination = RtfDestination::Picture;
        picture_.begin();
        break;
    case RtfWord::CharsetAnsi:
        fonts_.setDocumentCodePage(info.value);
        break;
    case RtfWord::CharsetCodePage:
        if (token.hasParam) fonts_.setDocumentCodePage(token.param);
        break;
    case RtfWord::DefaultTab:
        writer_.setDefaultTab(token.param);
        break;
    case RtfWord::DefaultFont:
        defaultFont_ = token.param;
        writer_.setDefaultFont(token.param);
        break;
    case RtfWord::UnicodeSkip:
        group.unicodeSkip = qBound(0, token.param, 16);
        break;
    case RtfWord::Par:
    case RtfWord::Page:
        writer_.endParagraph(group.para);
        break;
    case RtfWord::Line:
        put(QString(QChar::LineSeparator));
        break;
    case RtfWord::Character:
        put(QString(QChar(char16_t(info.value))));
        break;
    case RtfWord::Cell:
        if (group.para.inTable || writer_.tables().active())
            writer_.endCell(group.para);
        else
            writer_.endParagraph(group.para);
        break;
    case RtfWord::Row:
        writer_.endRow();
        break;
    // Nested tables are flattened into their outer cell.
    case RtfWord::NestedCell:
        put(QStringLiteral("\t"));
        break;
    case RtfWord::NestedRow:
        put(QString(QChar::LineSeparator));
        break;
    case RtfWord::RowDefaults:
        writer_.tables().rowDefaults();
        break;
    case RtfWord::CellRight:
        writer_.tables().cellRight(token.param);
        break;
    default:
        break; // an unknown word shows nothing
    }
}

void RtfParser::unicode(int value) {
    // \u takes a signed 16-bit value; negative ones stand for the upper half.
    if (value < 0) value += 65536;
    if (value >= 0 && value <= 0xFFFF && state().destination == RtfDestination::Body)
        put(QString(QChar(char16_t(value))));
    fallback_ = state().unicodeSkip;
}
