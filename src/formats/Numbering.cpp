#include "formats/Numbering.h"

namespace {
// Beyond this a roman number is written in decimal, as word processors do.
constexpr int MaxRoman = 3999;
constexpr int RuleLength = 12;

QString roman(int number) {
    static constexpr struct {
        int value;
        const char* digits;
    } Parts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                 {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                 {5, "v"},    {4, "iv"},   {1, "i"}};
    QString out;
    for (const auto& part : Parts)
        for (; number >= part.value; number -= part.value)
            out += QLatin1String(part.digits);
    return out;
}

// 1 a, 26 z, 27 aa, 53 aaa: the letter repeated, as Word counts.
QString letters(int number) {
    const int repeat = (number - 1) / 26 + 1;
    return QString(qMin(repeat, 64), QChar(u'a' + (number - 1) % 26));
}

QString ordinal(int number) {
    const int tens = number % 100, units = number % 10;
    const char* suffix = "th";
    if (tens < 11 || tens > 13) {
        if (units == 1) suffix = "st";
        if (units == 2) suffix = "nd";
        if (units == 3) suffix = "rd";
    }
    return QString::number(number) + QLatin1String(suffix);
}
} // namespace

QString formattedNumber(int number, int format) {
    const bool positive = number > 0;
    switch (format) {
    case UpperRoman:
        return positive && number <= MaxRoman ? roman(number).toUpper() : QString::number(number);
    case LowerRoman:
        return positive && number <= MaxRoman ? roman(number) : QString::number(number);
    case UpperLetter:
        return positive ? letters(number).toUpper() : QString::number(number);
    case LowerLetter:
        return positive ? letters(number) : QString::number(number);
    case Ordinal:
        return ordinal(number);
    case DecimalZeroPadded:
        return number >= 0 && number < 10 ? u'0' + QString::number(number)
                                          : QString::number(number);
    case BulletFormat:
    case NoNumber:
        return {};
    default:
        return QString::number(number);
    }
}

QString bulletText(const QString& written) {
    QString out = written;
    for (QChar& c : out) {
        if (c.unicode() == 0xB7) c = QChar(0x2022); // Symbol's bullet as a Latin-1 byte
        if (c.unicode() < 0xF000 || c.unicode() > 0xF0FF) continue;
        // Symbol and Wingdings characters in their private-use copy.
        switch (c.unicode() - 0xF000) {
        case 0xA7: // Wingdings' small square
        case 0x6E:
            c = QChar(0x25AA);
            break;
        case 0xFC:
            c = QChar(0x2713);
            break;
        case 0xD8:
            c = QChar(0x27A2);
            break;
        case 0x76:
            c = QChar(0x2756);
            break;
        case 0x71:
            c = QChar(0x2751);
            break;
        default: // Symbol's bullet (B7), Wingdings' round one (6C) and the rest
            c = QChar(0x2022);
            break;
        }
    }
    return out == u"o" ? QString(QChar(0x25E6)) : out; // Courier's "o" is a hollow bullet
}

QString superscriptNumber(int number) {
    static constexpr char16_t Digits[] = u"⁰¹²³⁴⁵⁶⁷⁸⁹";
    QString out = QString::number(number);
    for (QChar& c : out)
        if (c.isDigit()) c = QChar(Digits[c.digitValue()]);
    return out;
}

QString noteRule() {
    return QString(RuleLength, QChar(0x2500));
}

QString nextListNumber(const std::vector<ListLevelFormat>& levels, int at, ListCount& count,
                       const int* startAt) {
    if (at < 0 || at >= ListLevels || size_t(at) >= levels.size()) return {};
    const ListLevelFormat& level = levels[size_t(at)];
    const size_t here = size_t(at);
    count.value[here] = count.started[here] ? count.value[here] + 1
                        : startAt           ? *startAt
                                            : level.start;
    count.started[here] = true;
    for (size_t deeper = here + 1; deeper < size_t(ListLevels); ++deeper)
        count.started[deeper] = false;
    QString out;
    for (const QChar c : level.text) {
        const size_t placeholder = c.unicode();
        if (placeholder >= size_t(ListLevels)) {
            out += c;
            continue;
        }
        if (placeholder >= levels.size()) continue;
        const ListLevelFormat& shown = levels[placeholder];
        const int value = count.started[placeholder] ? count.value[placeholder] : shown.start;
        out += formattedNumber(value, shown.format);
    }
    if (level.format == BulletFormat) out = bulletText(out);
    if (out.isEmpty()) return out;
    if (level.follow == 0) out += u'\t';
    if (level.follow == 1) out += u' ';
    return out;
}
