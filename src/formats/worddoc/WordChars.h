#pragma once

#include <QString>
#include <vector>

// Turns the characters of a Word document's story into what a reader sees:
// paragraph, cell and page marks end paragraphs, a vertical tab breaks the
// line, and of each field only its result stays (its code is dropped); a
// field without a stored result shows what its code works out to.
class WordChars {
  public:
    // What the story's reader adds around paragraphs and for special
    // characters (note marks), by character position.
    class Hooks {
      public:
        virtual ~Hooks() = default;
        virtual QString paragraphStart(quint32 cp) = 0;
        virtual QString paragraphEnd(quint32 cp) = 0;
        virtual QString special(quint32 cp, QChar c) = 0;
    };

    // Output beyond limit characters is dropped.
    explicit WordChars(Hooks* hooks = nullptr, qsizetype limit = 1 << 30)
        : hooks_(hooks), limit_(limit) {}
    // Characters of the story starting at position firstCp.
    void append(const QString& story, quint32 firstCp);
    // The text, without the mark that ends the last paragraph.
    QString result() const;

  private:
    struct Field {
        bool inResult = false;
        bool shown = false; // its result showed something
        QString code;
    };
    void show(QStringView text);
    void fieldMark(char16_t mark);
    void visible(const QChar& c, quint32 cp);

    Hooks* hooks_;
    qsizetype limit_;
    QString text_;
    bool atParagraphStart_ = true;
    std::vector<Field> fields_;
    int codeField_ = -1; // the innermost open field still in its code; -1: none
};
