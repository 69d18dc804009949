#pragma once

#include "formats/rtf/RtfState.h"

#include <QString>
#include <vector>

class RtfWriter;

// Text that is read in one place and shown in another: notes go after the
// body, a text box after the paragraph that anchors it. Keeps runs with their
// character properties and paragraph ends, up to a bound.
class RtfDeferred {
  public:
    void text(const QString& text, const RtfCharState& chars);
    void endParagraph();
    // Ends the paragraph in progress, if one is.
    void closeParagraph();
    bool isEmpty() const { return items_.empty(); }
    // Writes what is kept as paragraphs of their own, as far as budget (in
    // characters, used up here) goes; true once all is written and forgotten.
    bool writeTo(RtfWriter& writer, qsizetype& budget);

  private:
    struct Item {
        QString text; // empty: a paragraph ends
        RtfCharState chars;
    };
    std::vector<Item> items_;
    qsizetype chars_ = 0;
    size_t next_ = 0; // the first item not yet written
};
