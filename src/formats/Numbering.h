#pragma once

#include <QString>

// Numbers of lists and notes as word processors show them. Formats are the
// number format codes Word's lists and RTF's \levelnfc share.
enum NumberFormat : int {
    DecimalNumbers = 0,
    UpperRoman = 1,
    LowerRoman = 2,
    UpperLetter = 3,
    LowerLetter = 4,
    Ordinal = 5,
    DecimalZeroPadded = 22,
    BulletFormat = 23,
    NoNumber = 255,
};

// The number in that format: "iv", "AB", "3rd", "07"; empty for a bullet or
// none, decimal for a format not known here.
QString formattedNumber(int number, int format);

// A bullet as it should show: the private-use characters of the Symbol and
// Wingdings fonts that bullets are written in become their Unicode look-alikes.
QString bulletText(const QString& written);

// The number with superscript digits (a note's mark in plain text).
QString superscriptNumber(int number);

// The short rule between a document's body and its notes.
QString noteRule();
