#pragma once

#include <QList>
#include <QTextOption>

// Where the text of a group goes. Notes and text boxes are kept aside and
// shown elsewhere; a shape's instructions and a drawing object hold nothing
// shown but their text boxes; a field's code is kept for working out a result
// the document did not store; a list's own number text goes to the body.
enum class RtfDestination {
    Body,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    Note,
    TextBox,
    Shape,
    FieldCode,
    Lists,
    ListText,
};

// Whether a group's text is shown, there or elsewhere (a field's code counts:
// it may be shown as the field's result).
inline bool carriesText(RtfDestination d) {
    return d == RtfDestination::Body || d == RtfDestination::Note || d == RtfDestination::TextBox ||
           d == RtfDestination::FieldCode || d == RtfDestination::ListText;
}

// Character properties as RTF states them; indexes point into the font and
// colour tables, sizes are in half-points.
struct RtfCharState {
    enum Underline : quint8 { NoUnderline, Single, Dotted, Dashed, Wave };
    enum Vertical : quint8 { Baseline, Super, Sub };
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    int foreground = 0; // 0: automatic
    int background = 0;
    Underline underline = NoUnderline;
    Vertical vertical = Baseline;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool operator==(const RtfCharState&) const = default;
};

// Paragraph properties; lengths are in twips.
struct RtfParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0; // 0: single; < 0: exactly; > 0: at least, or a multiple
    bool lineMultiple = false;
    bool rightToLeft = false;
    bool inTable = false;
    int list = 0;      // \ls: the list override the paragraph is numbered by; 0: none
    int listLevel = 0; // \ilvl
    int oldList = -1;  // the \pn numbering it has, from RtfLists; -1: none
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    QList<QTextOption::Tab> tabs; // positions in twips
};

// Everything a group saves and its closing brace restores.
struct RtfGroupState {
    RtfDestination destination = RtfDestination::Body;
    RtfCharState chars;
    RtfParaState para;
    int unicodeSkip = 1;  // \uc: fallback characters after each \u
    int field = -1;       // FieldCode: the open field whose code this is
    bool endnote = false; // Note: an endnote (\ftnalt), not a footnote
};
