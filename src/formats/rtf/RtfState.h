#pragma once

#include <QList>
#include <QTextOption>

// Where the text of a group goes.
enum class RtfDestination { Body, Skip, FontTable, ColorTable, Picture };

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
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    QList<QTextOption::Tab> tabs; // positions in twips
};

// Everything a group saves and its closing brace restores.
struct RtfGroupState {
    RtfDestination destination = RtfDestination::Body;
    RtfCharState chars;
    RtfParaState para;
    int unicodeSkip = 1; // \uc: fallback characters after each \u
};
