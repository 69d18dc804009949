#pragma once

#include "formats/Numbering.h"
#include "formats/worddoc/WordFib.h"

#include <QHash>
#include <vector>

class WordPieces;

// List numbers of a Word 97 document's paragraphs: a paragraph names its list
// override (ilfo) and level (ilvl) in its own properties or its style's; the
// override names a list definition (LSTF with its LVLs) and may restart it.
class WordLists {
  public:
    WordLists(const WordFib& fib, const WordPieces& pieces, QByteArrayView word,
              QByteArrayView table);
    // The number text of the paragraph that begins at cp, counting it;
    // empty when it has none.
    QString numberAt(quint32 cp);

  private:
    struct ListRef {
        int ilfo = -1; // -1: not said
        int ilvl = -1;
    };
    struct Override {
        quint32 lsid = 0;
        std::array<int, ListLevels> startAt{};
        std::array<bool, ListLevels> hasStart{};
        bool used = false;
    };
    ListRef paragraphRef(qint64 fc) const;
    ListRef styleRef(int istd, int depth = 0) const;
    void readStyles(QByteArrayView stsh);
    void readLists(QByteArrayView lists);
    void readOverrides(QByteArrayView overrides);

    const WordPieces& pieces_;
    QByteArrayView word_;
    QByteArrayView bins_;                                // PlcBtePapx
    std::vector<std::pair<int, ListRef>> styles_;        // by istd: base style, own reference
    QHash<quint32, std::vector<ListLevelFormat>> lists_; // by lsid
    std::vector<Override> overrides_;                    // ilfo - 1
    QHash<quint32, ListCount> counts_;                   // by lsid
};
