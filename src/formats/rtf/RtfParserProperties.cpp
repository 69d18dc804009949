#include "formats/rtf/RtfParser.h"

// Character and paragraph properties: they live in the current group's state.
namespace {
constexpr qsizetype MaxTabs = 64;

bool toggle(const RtfToken& token) {
    return !token.hasParam || token.param != 0;
}
} // namespace

bool RtfParser::charWord(const RtfWordInfo& info, const RtfToken& token) {
    RtfCharState& chars = state().chars;
    switch (info.word) {
    case RtfWord::Bold:
        chars.bold = toggle(token);
        break;
    case RtfWord::Italic:
        chars.italic = toggle(token);
        break;
    case RtfWord::Strike:
        chars.strike = toggle(token);
        break;
    case RtfWord::Hidden:
        chars.hidden = toggle(token);
        break;
    case RtfWord::Underline:
        chars.underline =
            toggle(token) ? RtfCharState::Underline(info.value) : RtfCharState::NoUnderline;
        break;
    case RtfWord::UnderlineNone:
        chars.underline = RtfCharState::NoUnderline;
        break;
    case RtfWord::Font:
        chars.font = qMax(0, token.param);
        break;
    case RtfWord::FontSize:
        chars.halfPoints = token.hasParam ? token.param : 24;
        break;
    case RtfWord::Foreground:
        chars.foreground = token.param;
        break;
    case RtfWord::Background:
        chars.background = token.param;
        break;
    case RtfWord::Super:
        chars.vertical = RtfCharState::Super;
        break;
    case RtfWord::Sub:
        chars.vertical = RtfCharState::Sub;
        break;
    case RtfWord::NoSuperSub:
        chars.vertical = RtfCharState::Baseline;
        break;
    case RtfWord::Up:
        chars.vertical = token.param > 0 ? RtfCharState::Super : RtfCharState::Baseline;
        break;
    case RtfWord::Down:
        chars.vertical = token.param > 0 ? RtfCharState::Sub : RtfCharState::Baseline;
        break;
    case RtfWord::Plain:
        chars = RtfCharState();
        break;
    default:
        return false;
    }
    return true;
}

bool RtfParser::paraWord(const RtfWordInfo& info, const RtfToken& token) {
    RtfParaState& para = state().para;
    switch (info.word) {
    case RtfWord::Pard:
        // A number written as text belongs to the paragraph that holds it,
        // whatever its group says (LibreOffice opens it with \pard).
        if (state().destination == RtfDestination::ListText) break;
        para = RtfParaState();
        listTextReset_ = listTextSeen_;
        break;
    case RtfWord::Align:
        para.alignment = Qt::Alignment(info.value);
        break;
    case RtfWord::LeftIndent:
        para.leftIndent = token.param;
        break;
    case RtfWord::RightIndent:
        para.rightIndent = token.param;
        break;
    case RtfWord::FirstIndent:
        para.firstIndent = token.param;
        break;
    case RtfWord::SpaceBefore:
        para.spaceBefore = token.param;
        break;
    case RtfWord::SpaceAfter:
        para.spaceAfter = token.param;
        break;
    case RtfWord::LineSpacing:
        para.lineSpacing = token.param;
        break;
    case RtfWord::LineMultiple:
        para.lineMultiple = token.param != 0;
        break;
    case RtfWord::TabType:
        para.nextTabType = QTextOption::TabType(info.value);
        break;
    case RtfWord::TabStop:
        if (para.tabs.size() < MaxTabs)
            para.tabs.append(QTextOption::Tab(token.param, para.nextTabType));
        para.nextTabType = QTextOption::LeftTab;
        break;
    case RtfWord::InTable:
        para.inTable = true;
        break;
    case RtfWord::RightToLeft:
        para.rightToLeft = true;
        break;
    case RtfWord::LeftToRight:
        para.rightToLeft = false;
        break;
    case RtfWord::ListIndex:
        para.list = qMax(0, token.param);
        break;
    case RtfWord::ListLevel:
        para.listLevel = qBound(0, token.param, RtfLists::Levels - 1);
        break;
    default:
        return false;
    }
    return true;
}
