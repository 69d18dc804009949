#pragma once

#include <QList>
#include <QTextCursor>

class QTextTable;

// Turns RTF's row definitions, \cell and \row marks into a QTextTable. Moves
// are made lazily, when content arrives, so a final \cell opens no extra column.
class RtfTableBuilder {
  public:
    // Puts the cursor where the next content of a paragraph goes.
    void place(QTextCursor& cursor, bool inTable);
    // Ends the table and puts the cursor after it.
    void close(QTextCursor& cursor);
    void cellEnded() { nextCell_ = table_ != nullptr; }
    void rowEnded();
    void rowDefaults() { cellRights_.clear(); }
    void cellRight(int twips);
    bool active() const { return table_ != nullptr; }
    // Whether further rows still go into the table part being built. Qt lays
    // a table part out whole on every change to it, so a stepwise load ends
    // its steps between parts.
    bool partOpen() const;
    qsizetype cells() const { return cells_; }

  private:
    void start(QTextCursor& cursor);
    void widen(int columns);

    QTextTable* table_ = nullptr;
    int row_ = 0;
    int column_ = 0;
    qsizetype cells_ = 0;
    bool nextCell_ = false;
    bool nextRow_ = false;
    QList<int> cellRights_; // right cell edges in twips
};
