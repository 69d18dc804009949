#include "formats/rtf/RtfDeferred.h"

#include "formats/rtf/RtfWriter.h"

namespace {
// What a document may keep aside in all; the rest of its notes goes unshown.
constexpr qsizetype MaxChars = 4 * 1024 * 1024;
constexpr size_t MaxItems = 256 * 1024;
} // namespace

void RtfDeferred::text(const QString& text, const RtfCharState& chars) {
    if (text.isEmpty() || chars_ + text.size() > MaxChars || items_.size() >= MaxItems) return;
    chars_ += text.size();
    if (!items_.empty() && !items_.back().text.isEmpty() && items_.back().chars == chars)
        items_.back().text += text;
    else
        items_.push_back({text, chars});
}

void RtfDeferred::endParagraph() {
    if (items_.size() < MaxItems) items_.push_back({});
}

void RtfDeferred::closeParagraph() {
    if (!items_.empty() && !items_.back().text.isEmpty()) endParagraph();
}

bool RtfDeferred::writeTo(RtfWriter& writer, qsizetype& budget) {
    closeParagraph();
    for (; next_ < items_.size(); ++next_) {
        if (budget <= 0) return false;
        const Item& item = items_[next_];
        budget -= item.text.size() + 1;
        if (item.text.isEmpty())
            writer.endParagraph(RtfParaState());
        else
            writer.text(item.text, item.chars, false);
    }
    items_.clear();
    chars_ = 0;
    next_ = 0;
    return true;
}
