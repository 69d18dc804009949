#pragma once

#include <QString>
#include <QStringView>

// Laying out one paragraph costs more than linear time in its length when it
// has few places to wrap, so a line longer than this is shown as several
// paragraphs. Real text lines are far shorter.
constexpr qsizetype MaxParagraphChars = 2048;

// How much of text goes into a paragraph that has room characters left: all
// of it when it fits, else up to the last white space in the second half of
// the room, else the room (never inside a surrogate pair).
qsizetype paragraphPiece(QStringView text, qsizetype room);

// Text with a line feed put in wherever a line would outgrow MaxParagraphChars;
// column holds the length of the paragraph the text continues and is updated.
QString breakLongLines(QStringView text, qsizetype& column);
