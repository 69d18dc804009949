#pragma once

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
    static constexpr int Levels = 9;

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
    struct Level {
        int format = 0;
        int start = 1;
        int follow = 0; // 0 tab, 1 space, 2 nothing
        QString text;   // characters below 9 stand for the number of that level
    };
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
    struct Counters {
        std::array<int, Levels> value{};
        std::array<bool, Levels> started{};
    };

    bool inside(QByteArrayView name) const;
    QByteArray& current() { return groups_.back(); }
    Level* level();
    void endLevelText();
    static QString numberText(const std::vector<Level>& levels, int level, Counters& counters,
                              const int* startOverride);

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
