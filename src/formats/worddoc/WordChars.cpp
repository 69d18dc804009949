#include "formats/worddoc/WordChars.h"

namespace {
constexpr size_t MaxFieldDepth = 1000;
}

void WordChars::append(const QString& piece) {
    taken_ += piece.size();
    text_.reserve(text_.size() + piece.size());
    for (const QChar c : piece) {
        switch (c.unicode()) {
        case 0x13: // field begins with its code
            if (fields_.size() < MaxFieldDepth) {
                fields_.push_back(false);
                ++codeDepth_;
            }
            continue;
        case 0x14: // the result follows
            if (!fields_.empty() && !fields_.back()) {
                fields_.back() = true;
                --codeDepth_;
            }
            continue;
        case 0x15: // field ends
            if (!fields_.empty()) {
                if (!fields_.back()) --codeDepth_;
                fields_.pop_back();
            }
            continue;
        default:
            break;
        }
        if (codeDepth_ > 0) continue;
        switch (c.unicode()) {
        case 0x0D: // paragraph
        case 0x07: // table cell or row end
        case 0x0C: // page or section break
            text_ += u'\n';
            break;
        case 0x0B:
            text_ += QChar::LineSeparator;
            break;
        case 0x09:
            text_ += u'\t';
            break;
        case 0x1E:
            text_ += QChar(0x2011); // non-breaking hyphen
            break;
        default:
            // Other controls anchor pictures, notes and objects; they show nothing.
            if (c.unicode() >= 0x20) text_ += c;
        }
    }
}

QString WordChars::result() const {
    return text_.endsWith(u'\n') ? text_.chopped(1) : text_;
}
