#include "formats/rtf/RtfParser.h"

void RtfParser::word(const RtfToken& token, bool ignorable) {
    const RtfWordInfo info = lookupRtfWord(token.data);
    RtfDestination& destination = state().destination;
    if (info.word == RtfWord::Unicode) return unicode(token.param);
    if (ignorable) {
        // \* marks a destination we may skip; we read \shppict, a shape's
        // instructions and drawing objects for their text boxes, field codes
        // and list tables.
        bool read = false;
        switch (info.word) {
        case RtfWord::BodyDestination:
            read = destination == RtfDestination::Body;
            break;
        case RtfWord::ShapeInstructions:
        case RtfWord::DrawingObject:
        case RtfWord::FieldCode:
        case RtfWord::Lists:
        case RtfWord::TextBox:
        case RtfWord::Footnote:
            read = true;
            break;
        default:
            break;
        }
        if (!read) {
            destination = RtfDestination::Skip;
            return;
        }
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
    case RtfDestination::Lists:
        return lists_.word(token);
    case RtfDestination::Shape:
        // Nothing of a shape shows but its text box.
        if (info.word == RtfWord::TextBox) partWord(info, token);
        return;
    case RtfDestination::Body:
    case RtfDestination::Note:
    case RtfDestination::TextBox:
    case RtfDestination::FieldCode:
    case RtfDestination::ListText:
        return bodyWord(info, token);
    case RtfDestination::Skip:
        return;
    }
}

void RtfParser::bodyWord(const RtfWordInfo& info, const RtfToken& token) {
    if (charWord(info, token) || paraWord(info, token) || partWord(info, token)) return;
    RtfGroupState& group = state();
    const bool body = group.destination == RtfDestination::Body;
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
        if (!body) {
            group.destination = RtfDestination::Skip; // notes and boxes show their text only
            break;
        }
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
        endParagraph();
        break;
    case RtfWord::Line:
        put(QString(QChar::LineSeparator));
        break;
    case RtfWord::Character:
        put(QString(QChar(char16_t(info.value))));
        break;
    case RtfWord::Cell:
        if (body && (group.para.inTable || writer_.tables().active())) {
            startParagraph();
            writer_.endCell(group.para);
            paragraphStarted_ = listTextSeen_ = false;
        } else {
            endParagraph();
        }
        break;
    case RtfWord::Row:
        if (body) writer_.endRow();
        break;
    // Nested tables are flattened into their outer cell.
    case RtfWord::NestedCell:
        put(QStringLiteral("\t"));
        break;
    case RtfWord::NestedRow:
        put(QString(QChar::LineSeparator));
        break;
    case RtfWord::RowDefaults:
        if (body) writer_.tables().rowDefaults();
        break;
    case RtfWord::CellRight:
        if (body) writer_.tables().cellRight(token.param);
        break;
    default:
        break; // an unknown word shows nothing
    }
}

void RtfParser::unicode(int value) {
    // \u takes a signed 16-bit value; negative ones stand for the upper half.
    if (value < 0) value += 65536;
    if (value >= 0 && value <= 0xFFFF) {
        if (carriesText(state().destination))
            put(QString(QChar(char16_t(value))));
        else if (state().destination == RtfDestination::Lists)
            lists_.text(QString(QChar(char16_t(value))));
    }
    fallback_ = state().unicodeSkip;
}
