#pragma once

#include <QString>
#include <array>
#include <vector>

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

// One level of a list as a writer defines it: its number format, its first
// number, what follows the number (0 a tab, 1 a space, 2 nothing) and its
// text, in which characters 0 to 8 stand for the current number of that level.
struct ListLevelFormat {
    int format = DecimalNumbers;
    int start = 1;
    int follow = 0;
    QString text;
};
constexpr int ListLevels = 9;
// Where a list's count stands at each level.
struct ListCount {
    std::array<int, ListLevels> value{};
    std::array<bool, ListLevels> started{};
};
// Counts the next paragraph at level at (from startAt when given and the
// level starts anew; deeper levels start anew after it) and gives its number
// text with what follows it; empty when the level shows none.
QString nextListNumber(const std::vector<ListLevelFormat>& levels, int at, ListCount& count,
                       const int* startAt = nullptr);

// The number with superscript digits (a note's mark in plain text).
QString superscriptNumber(int number);

// The short rule between a document's body and its notes.
QString noteRule();
