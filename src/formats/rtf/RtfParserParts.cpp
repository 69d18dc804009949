#include "formats/FieldCodes.h"
#include "formats/Numbering.h"
#include "formats/rtf/RtfParser.h"

#include <limits>

// Where text goes, paragraphs with their list numbers, and what closing a
// group ends: a list definition, a note, a text box, a field.
namespace {
// A field's code is kept up to this length only.
constexpr qsizetype MaxFieldCode = 4096;
// A list number written as text longer than this is cut there.
constexpr qsizetype MaxListText = 256;
} // namespace

void RtfParser::put(const QString& text) {
    RtfGroupState& group = state();
    // Text shown marks the open fields as having a result; text in a field's
    // code marks the fields nested in it, whose results it is.
    const size_t firstShown =
        group.destination == RtfDestination::FieldCode ? size_t(qMax(0, group.field + 1)) : 0;
    for (size_t i = firstShown; i < fields_.size(); ++i)
        fields_[i].shown = true;
    switch (group.destination) {
    case RtfDestination::Body:
        startParagraph();
        writer_.text(text, group.chars, group.para.inTable);
        break;
    case RtfDestination::ListText:
        // A bullet is written in a symbol font's private characters.
        if (listText_.size() < MaxListText) listText_ += bulletText(text);
        listTextChars_ = group.chars;
        break;
    case RtfDestination::Note:
        (group.endnote ? endnotes_ : footnotes_).text(text, group.chars);
        break;
    case RtfDestination::TextBox:
        boxes_.text(text, group.chars);
        break;
    case RtfDestination::FieldCode:
        if (group.field >= 0 && size_t(group.field) < fields_.size() &&
            fields_[size_t(group.field)].code.size() < MaxFieldCode)
            fields_[size_t(group.field)].code += text;
        break;
    default:
        break;
    }
}

void RtfParser::startParagraph() {
    if (std::exchange(paragraphStarted_, true)) return;
    const RtfGroupState& group = state();
    QString number;
    if (group.para.list > 0)
        number = lists_.next(group.para.list, group.para.listLevel);
    else if (group.para.oldList >= 0)
        number = lists_.nextOld(group.para.oldList);
    else
        lists_.unnumbered();
    // A number the document wrote as text shows in place of ours (ours still
    // counts), unless a \pard after it left the paragraph unnumbered:
    // LibreOffice writes a note's numbers before the paragraph holding it.
    const bool numbered = group.para.list > 0 || group.para.oldList >= 0;
    if (listTextSeen_ && (numbered || !listTextReset_))
        writer_.text(listText_, listTextChars_, group.para.inTable);
    else if (!listTextSeen_)
        writer_.text(number, group.chars, group.para.inTable);
    listText_.clear();
    listTextReset_ = false;
}

void RtfParser::endParagraph() {
    RtfGroupState& group = state();
    switch (group.destination) {
    case RtfDestination::Body:
        startParagraph();
        writer_.endParagraph(group.para);
        paragraphStarted_ = listTextSeen_ = false;
        // A text box follows the paragraph that anchors it.
        if (!boxes_.isEmpty() && !group.para.inTable && !writer_.tables().active()) {
            qsizetype all = std::numeric_limits<qsizetype>::max();
            boxes_.writeTo(writer_, all);
        }
        break;
    case RtfDestination::Note:
        (group.endnote ? endnotes_ : footnotes_).endParagraph();
        break;
    case RtfDestination::TextBox:
        boxes_.endParagraph();
        break;
    case RtfDestination::FieldCode:
        put(QStringLiteral(" "));
        break;
    default:
        break;
    }
}

void RtfParser::closedGroup(const RtfGroupState& closed, size_t depth) {
    const RtfDestination now = state().destination;
    if (closed.destination == RtfDestination::Lists) {
        lists_.groupEnd();
        if (now != RtfDestination::Lists)
            if (const int old = lists_.takeOldList(); old >= 0) state().para.oldList = old;
    }
    if (closed.destination == RtfDestination::Note && now != RtfDestination::Note)
        (closed.endnote ? endnotes_ : footnotes_).closeParagraph();
    if (closed.destination == RtfDestination::TextBox && now != RtfDestination::TextBox)
        boxes_.closeParagraph();
    if (fields_.empty() || fields_.back().depth != depth) return;
    // The field ends: without a stored result, one worked out from its code.
    const Field field = std::move(fields_.back());
    fields_.pop_back();
    if (field.shown || !carriesText(now)) return;
    if (const QString result = fieldCodeResult(field.code); !result.isEmpty()) put(result);
}
