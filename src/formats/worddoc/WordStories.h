#pragma once

#include "formats/worddoc/WordChars.h"
#include "formats/worddoc/WordFib.h"
#include "formats/worddoc/WordLists.h"

#include <map>
#include <vector>

class WordPieces;

// Reads the stories of a document into one text: the main text with list
// numbers, note marks and text boxes after the paragraphs that anchor them,
// then a short rule and the notes, each with its mark. Headers and footers
// are page furniture and stay out.
class WordStories : public WordChars::Hooks {
  public:
    WordStories(const WordFib& fib, const WordPieces& pieces, QByteArrayView word,
                QByteArrayView table, qsizetype limit);
    // The whole text, at most limit characters.
    QString text();

    QString paragraphStart(quint32 cp) override;
    QString paragraphEnd(quint32 cp) override;
    QString special(quint32 cp, QChar c) override;

    struct Notes {
        struct Text {
            int number;
            quint32 from, to; // in the notes' story
        };
        std::map<quint32, int> marks; // reference CP -> note number
        std::vector<Text> texts;
    };

  private:
    QString story(WordFib::Story which, std::pair<quint32, quint32> range);
    void readTextBoxes(QByteArrayView texts, QByteArrayView anchors);

    const WordFib& fib_;
    const WordPieces& pieces_;
    WordLists lists_;
    qsizetype limit_;
    Notes footnotes_, endnotes_;
    std::vector<std::pair<quint32, std::pair<quint32, quint32>>> boxes_; // anchor, text
    size_t box_ = 0;
    bool inMain_ = true;
    int noteNumber_ = 0; // in a note's text: its number
    int noteFormat_ = 0;
};
