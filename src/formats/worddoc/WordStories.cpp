#include "formats/worddoc/WordStories.h"

#include "formats/Numbering.h"
#include "formats/worddoc/LittleEndian.h"
#include "formats/worddoc/WordPieces.h"

#include <algorithm>

namespace {

// A PLC: count + 1 positions, then count entries of dataSize bytes.
struct Plc {
    Plc(QByteArrayView bytes, qsizetype dataSize)
        : p(bytes), count(bytes.size() < 4 ? 0 : (bytes.size() - 4) / (4 + dataSize)),
          size(dataSize) {}
    quint32 cp(qsizetype i) const { return p.u32(4 * i); }
    LittleEndian data(qsizetype i) const {
        return LittleEndian(p.bytes(4 * (count + 1) + size * i, size));
    }
    LittleEndian p;
    qsizetype count;
    qsizetype size;
};

constexpr qsizetype NoteRefData = 2;  // FRD
constexpr qsizetype TextBoxData = 22; // FTXBXS
constexpr qsizetype AnchorData = 26;  // FSPA
constexpr qsizetype BoxShapeId = 14;  // FTXBXS.lid

WordStories::Notes readNotes(QByteArrayView refs, QByteArrayView texts) {
    WordStories::Notes notes;
    const Plc r(refs, NoteRefData), t(texts, 0);
    // The text positions are one more than the notes, the last a dummy.
    const qsizetype count = qMin(r.count, t.count - 1);
    for (qsizetype i = 0; i < count; ++i) {
        notes.marks.emplace(r.cp(i), int(i) + 1);
        if (t.cp(i) < t.cp(i + 1)) notes.texts.push_back({int(i) + 1, t.cp(i), t.cp(i + 1)});
    }
    return notes;
}

// Footnotes count 1, 2, 3 and endnotes i, ii, iii, as Word numbers them
// unless told otherwise; digits are raised as a mark's are.
QString noteMark(int number, int format) {
    return format == DecimalNumbers ? superscriptNumber(number) : formattedNumber(number, format);
}

} // namespace

WordStories::WordStories(const WordFib& fib, const WordPieces& pieces, QByteArrayView word,
                         QByteArrayView table, qsizetype limit)
    : fib_(fib), pieces_(pieces), lists_(fib, pieces, word, table), limit_(limit) {
    footnotes_ = readNotes(fib.table(table, WordFib::FootnoteRefs),
                           fib.table(table, WordFib::FootnoteTexts));
    endnotes_ =
        readNotes(fib.table(table, WordFib::EndnoteRefs), fib.table(table, WordFib::EndnoteTexts));
    readTextBoxes(fib.table(table, WordFib::TextBoxTexts), fib.table(table, WordFib::ShapeAnchors));
}

QString WordStories::text() {
    WordChars main(this, limit_);
    main.append(pieces_.text(0, fib_.ccp[WordFib::Main]), 0);
    QString out = main.result();
    inMain_ = false;
    for (; box_ < boxes_.size(); ++box_)
        out += u'\n' + story(WordFib::TextBoxes, boxes_[box_].second);
    if (!footnotes_.texts.empty() || !endnotes_.texts.empty()) out += u'\n' + noteRule();
    for (const Notes::Text& note : footnotes_.texts) {
        noteNumber_ = note.number;
        noteFormat_ = DecimalNumbers;
        out += u'\n' + story(WordFib::Footnotes, {note.from, note.to});
    }
    for (const Notes::Text& note : endnotes_.texts) {
        noteNumber_ = note.number;
        noteFormat_ = LowerRoman;
        out += u'\n' + story(WordFib::Endnotes, {note.from, note.to});
    }
    return out.left(limit_);
}

QString WordStories::paragraphStart(quint32 cp) {
    return lists_.numberAt(cp);
}

QString WordStories::paragraphEnd(quint32 cp) {
    QString out;
    if (!inMain_) return out;
    inMain_ = false; // a box's own paragraphs anchor nothing
    for (; box_ < boxes_.size() && boxes_[box_].first <= cp; ++box_)
        out += story(WordFib::TextBoxes, boxes_[box_].second) + u'\n';
    inMain_ = true;
    return out;
}

QString WordStories::special(quint32 cp, QChar c) {
    if (c != QChar(0x02)) return {};
    // An automatic note mark: in a note's own text, that note's number.
    if (noteNumber_) return noteMark(noteNumber_, noteFormat_);
    if (const auto it = footnotes_.marks.find(cp); it != footnotes_.marks.end())
        return noteMark(it->second, DecimalNumbers);
    if (const auto it = endnotes_.marks.find(cp); it != endnotes_.marks.end())
        return noteMark(it->second, LowerRoman);
    return {};
}

QString WordStories::story(WordFib::Story which, std::pair<quint32, quint32> range) {
    // A part of a story other than the main text, with its own marks shown.
    const quint32 start = fib_.storyStart(which);
    const quint32 from = start + qMin(range.first, fib_.ccp[which]);
    const quint32 to = start + qMin(range.second, fib_.ccp[which]);
    WordChars chars(this, limit_);
    chars.append(pieces_.text(from, to), from);
    // A box or note ends with its own paragraph mark, or more than one.
    QString text = chars.result();
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

void WordStories::readTextBoxes(QByteArrayView texts, QByteArrayView anchors) {
    const Plc t(texts, TextBoxData), a(anchors, AnchorData);
    std::map<quint32, quint32> anchorOf; // shape id -> anchor CP
    for (qsizetype i = 0; i < a.count; ++i)
        anchorOf.emplace(a.data(i).u32(0), a.cp(i));
    // The last entry is a dummy; a box without an anchor goes after the body.
    for (qsizetype i = 0; i + 1 < t.count; ++i) {
        if (t.cp(i) >= t.cp(i + 1)) continue;
        const auto anchor = anchorOf.find(t.data(i).u32(BoxShapeId));
        const quint32 at = anchor == anchorOf.end() ? 0xFFFFFFFF : anchor->second;
        boxes_.push_back({at, {t.cp(i), t.cp(i + 1)}});
    }
    std::stable_sort(boxes_.begin(), boxes_.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
}
