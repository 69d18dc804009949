#include "formats/FieldCodes.h"
#include "formats/Numbering.h"
#include "formats/rtf/RtfParser.h"

#include <limits>

// Paragraphs and what is shown apart from the body's flow: list numbers,
// notes, text boxes and the results of fields.
namespace {
// Open fields beyond this are read as plain groups.
constexpr size_t MaxFields = 32;
// A field's code is kept up to this length only.
constexpr qsizetype MaxFieldCode = 4096;
// How far ahead of a note's mark in the body its note is looked for, to tell
// a footnote from an endnote.
constexpr qsizetype NoteLookahead = 512;
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
        writer_.text(bulletText(text), group.chars, group.para.inTable);
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
    // A number the document wrote as text was shown already; it still counts.
    if (!listTextSeen_) writer_.text(number, group.chars, group.para.inTable);
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

bool RtfParser::partWord(const RtfWordInfo& info, const RtfToken& token) {
    RtfGroupState& group = state();
    switch (info.word) {
    case RtfWord::Footnote:
        // A note inside a note or a box is read where it stands.
        if (group.destination != RtfDestination::Body) break;
        group.destination = RtfDestination::Note;
        group.endnote = false;
        ++footnoteCount_;
        break;
    case RtfWord::NoteIsEndnote:
        if (group.destination == RtfDestination::Note && !group.endnote) {
            group.endnote = true;
            --footnoteCount_;
            ++endnoteCount_;
        }
        break;
    case RtfWord::NoteNumber:
        put(noteMark());
        break;
    case RtfWord::FootnoteFormat:
        footnoteFormat_ = info.value;
        break;
    case RtfWord::EndnoteFormat:
        endnoteFormat_ = info.value;
        break;
    case RtfWord::Field:
        if (fields_.size() < MaxFields) fields_.push_back({stack_.size(), {}, false});
        break;
    case RtfWord::FieldCode:
        if (fields_.empty() || fields_.back().depth + 1 != stack_.size()) {
            group.destination = RtfDestination::Skip;
            break;
        }
        group.destination = RtfDestination::FieldCode;
        group.field = int(fields_.size()) - 1;
        break;
    case RtfWord::FieldResult:
        break; // shown where it stands; inside a field's code, part of that code
    case RtfWord::Shape:
        shapeText_ = false;
        break;
    case RtfWord::ShapeInstructions:
    case RtfWord::DrawingObject:
        group.destination = RtfDestination::Shape;
        break;
    case RtfWord::ShapeResult:
        // What a shape looks like to older readers: its text box again.
        if (shapeText_) group.destination = RtfDestination::Skip;
        break;
    case RtfWord::TextBox:
        shapeText_ = true;
        if (group.destination == RtfDestination::Body || group.destination == RtfDestination::Shape)
            group.destination = RtfDestination::TextBox;
        break;
    case RtfWord::Lists:
        group.destination = RtfDestination::Lists;
        lists_.begin(token.data);
        break;
    case RtfWord::ListText:
        if (group.destination != RtfDestination::Body) break;
        group.destination = RtfDestination::ListText;
        listTextSeen_ = true;
        break;
    default:
        return false;
    }
    return true;
}

QString RtfParser::noteMark() {
    bool endnote = state().endnote;
    int number = endnote ? endnoteCount_ : footnoteCount_;
    if (state().destination != RtfDestination::Note) {
        // The mark in the text comes before its note says what kind it is.
        endnote = endnoteAhead();
        number = (endnote ? endnoteCount_ : footnoteCount_) + 1;
    }
    return formattedNumber(number, endnote ? endnoteFormat_ : footnoteFormat_);
}

bool RtfParser::endnoteAhead() const {
    const QByteArrayView ahead = tokenizer_.ahead(NoteLookahead);
    const qsizetype note = ahead.indexOf("\\footnote");
    if (note < 0) return false;
    QByteArrayView rest = ahead.sliced(note + 9);
    while (!rest.isEmpty() && (rest[0] == ' ' || rest[0] == '\r' || rest[0] == '\n'))
        rest = rest.sliced(1);
    return rest.startsWith("\\ftnalt");
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

bool RtfParser::writeAside(const RtfParaState& last, qsizetype budget) {
    if (!asideBegun_) {
        asideBegun_ = true;
        const bool notes = !footnotes_.isEmpty() || !endnotes_.isEmpty();
        if (boxes_.isEmpty() && !notes) return true;
        if (!writer_.blockEmpty()) writer_.endParagraph(last);
        ruleDue_ = notes;
    }
    if (!boxes_.writeTo(writer_, budget)) return false;
    if (std::exchange(ruleDue_, false)) {
        writer_.text(noteRule(), RtfCharState(), false);
        writer_.endParagraph(RtfParaState());
    }
    return footnotes_.writeTo(writer_, budget) && endnotes_.writeTo(writer_, budget);
}
