#pragma once

#include <QString>
#include <vector>

// Turns the characters of a Word document's text into what a reader sees:
// paragraph, cell and page marks end paragraphs, a vertical tab breaks the
// line, and of each field only its result stays (its code is dropped).
class WordChars {
  public:
    void append(const QString& piece);
    // Characters taken so far, shown or not.
    qsizetype size() const { return taken_; }
    // The text, without the mark that ends the last paragraph.
    QString result() const;

  private:
    QString text_;
    qsizetype taken_ = 0;
    std::vector<bool> fields_; // per open field: whether its result has begun
    int codeDepth_ = 0;        // open fields still in their code part
};
