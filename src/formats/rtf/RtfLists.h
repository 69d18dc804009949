#pragma once

#include "formats/Numbering.h"
#include "formats/rtf/RtfTokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <vector>

// List numbering for paragraphs that do not carry their number as text: the
// \listtable and \listoverridetable of Word 97 and later (paragraphs name
// them with \ls and \ilvl), and the \pn groups of older writers. Reads those
// groups and counts the paragraphs of each list.
class RtfLists {
  public:
    static constexpr int Levels = ListLevels;

    // Reading: the group opened by \listtable, \listoverridetable or \pn, and
    // everything inside it.
    void begin(QByteArrayView word);
    void groupStart();
    void groupEnd();
    void word(const RtfToken& token);
    void text(const QString& text);
    // The \pn group just read, for the paragraph's state; -1 when none.
    int takeOldList();

    // The number text, with what follows it (a tab), of the next paragraph
    // in list ls at level; empty when the paragraph has no number.
    QString next(int ls, int level);
    QString nextOld(int oldList);
    // A paragraph without a number ends a run of old-style numbers.
    void unnumbered() { oldRun_ = false; }

  private:
    using Level = ListLevelFormat;
    struct List {
        int id = 0;
        std::vector<Level> levels;
    };
    struct Override {
        int list = 0;
        bool restart = false;
        bool used = false;
        std::array<int, Levels> startAt{};
        std::array<bool, Levels> hasStart{};
        int lfoLevels = 0;
    };
    using Counters = ListCount;

    bool inside(QByteArrayView name) const;
    QByteArray& current() { return groups_.back(); }
    Level* level();
    void endLevelText();

    std::vector<QByteArray> groups_; // names of the open groups, innermost last
    std::vector<List> lists_;
    QHash<int, size_t> listIndex_;   // by list id
    QHash<int, Override> overrides_; // by \ls
    Override override_;              // the one being read
    int overrideLs_ = 0;
    QString levelText_;
    QHash<int, Counters> counters_; // by list id
    // \pn: each differing group read becomes one entry.
    std::vector<Level> old_;
    std::vector<int> oldLevels_;
    Level pn_;
    QString pnAfter_;
    int pnLevel_ = 0;
    bool pnRead_ = false;
    Counters oldCounters_;
    bool oldRun_ = false;
};
