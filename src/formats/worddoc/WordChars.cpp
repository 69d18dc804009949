#include "formats/worddoc/WordChars.h"

#include "formats/FieldCodes.h"

namespace {
// Fields nested deeper are read as text; each shown character marks the open
// fields, so their number bounds the work per character.
constexpr size_t MaxFieldDepth = 16;
constexpr qsizetype MaxFieldCode = 4096;
} // namespace

void WordChars::show(QStringView text) {
    if (text.isEmpty()) return;
    // Text in a field's code belongs to that code; the fields nested in it
    // have a result.
    for (size_t i = size_t(codeField_ + 1); i < fields_.size(); ++i)
        fields_[i].shown = true;
    if (codeField_ >= 0) {
        QString& code = fields_[size_t(codeField_)].code;
        if (code.size() < MaxFieldCode) code += text;
        return;
    }
    if (text_.size() + text.size() <= limit_) text_ += text;
}

void WordChars::fieldMark(char16_t mark) {
    switch (mark) {
    case 0x13: // field begins with its code
        if (fields_.size() < MaxFieldDepth) {
            fields_.push_back({});
            codeField_ = int(fields_.size()) - 1;
        }
        return;
    case 0x14: // the result follows
        if (!fields_.empty() && !fields_.back().inResult) fields_.back().inResult = true;
        break;
    case 0x15: { // field ends
        if (fields_.empty()) return;
        const Field field = std::move(fields_.back());
        fields_.pop_back();
        codeField_ = -1;
        for (size_t i = 0; i < fields_.size(); ++i)
            if (!fields_[i].inResult) codeField_ = int(i);
        if (!field.shown) show(fieldCodeResult(field.code));
        return;
    }
    }
    codeField_ = -1;
    for (size_t i = 0; i < fields_.size(); ++i)
        if (!fields_[i].inResult) codeField_ = int(i);
}

void WordChars::append(const QString& story, quint32 firstCp) {
    text_.reserve(text_.size() + story.size());
    quint32 cp = firstCp;
    for (const QChar c : story)
        visible(c, cp++);
}

void WordChars::visible(const QChar& c, quint32 cp) {
    const char16_t u = c.unicode();
    if (u == 0x13 || u == 0x14 || u == 0x15) return fieldMark(u);
    if (u == 0xFFFF) return; // a character that could not be read
    const bool inCode = codeField_ >= 0;
    if (hooks_ && atParagraphStart_ && !inCode) {
        atParagraphStart_ = false;
        show(hooks_->paragraphStart(cp));
    }
    switch (u) {
    case 0x0D: // paragraph
    case 0x07: // table cell or row end
    case 0x0C: // page or section break
        if (inCode) return show(u" ");
        show(u"\n");
        atParagraphStart_ = true;
        if (hooks_) show(hooks_->paragraphEnd(cp));
        return;
    case 0x0B:
    case 0x0E: // column break: the text goes on in the next column
        return show(u"\u2028");
    case 0x09:
        return show(u"\t");
    case 0x1E:
        return show(u"\u2011"); // non-breaking hyphen
    default:
        break;
    }
    if (u >= 0x20) return show(QStringView(&c, 1));
    // Other controls anchor pictures, notes and objects; notes show their mark.
    if (hooks_ && !inCode) show(hooks_->special(cp, c));
}

QString WordChars::result() const {
    return text_.endsWith(u'\n') ? text_.chopped(1) : text_;
}
