#include "formats/Numbering.h"
#include "formats/rtf/RtfParser.h"

// The words that open notes, fields, shapes, text boxes and lists, and
// what is written after the body.
namespace {
// Open fields beyond this are read as plain groups.
constexpr size_t MaxFields = 32;
// How far ahead of a note's mark in the body its note is looked for, to tell
// a footnote from an endnote.
constexpr qsizetype NoteLookahead = 512;
} // namespace

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
