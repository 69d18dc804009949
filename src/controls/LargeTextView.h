#pragma once

#include "formats/TextEncoding.h"
#include "formats/TextLines.h"
#include "system/FileHandle.h"

#include <QAbstractScrollArea>

#include <memory>
#include <vector>

class HeldFile;
class LineIndex;
class LineIndexer;
class QMenu;
class QTextLayout;
class QTimer;
class TextFileBlocks;

// A plain text of any size, shown at once: its bytes stay in the file and are
// read in blocks, the line starts are indexed on a worker thread, and only
// the lines on screen are decoded and laid out. Lines do not wrap; a long one
// shows in pieces. The text can be selected by mouse and keyboard and copied.
class LargeTextView : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit LargeTextView(QWidget* parent = nullptr);
    ~LargeTextView() override;

    // Shows the open file in the given encoding.
    void open(FileHandle file, const TextEncoding& encoding);
    // Lets go of the file and stops the worker.
    void closeFile();

    bool isIndexing() const;
    // Waits till the index is complete.
    void finishIndexing();
    // The lines indexed so far.
    qint64 lineCount() const;

    // The text of the lines on screen, top to bottom, as shown.
    QStringList shownLines();
    // The text of an indexed line (< lineCount).
    QString lineText(qint64 line);
    QString selectedText();
    void selectAll();
    // Puts the selection on the clipboard; one too large to copy is refused
    // with a message box.
    void copy();

    // The menu the right mouse button opens, as a text pane has it: Copy
    // and Select All. The caller owns it.
    QMenu* createContextMenu();

    // A selection beyond this is not copied.
    static constexpr qint64 MaxCopyBytes = qint64(256) * 1024 * 1024;

  signals:
    // The whole file is indexed.
    void indexed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    static constexpr int Margin = 4; // around the text, as the pane's document has

    struct Line {
        qint64 start, contentEnd, next; // byte offsets
        qint64 textStart, textEnd;      // between characters
        QByteArray raw;                 // the bytes of text
        QString text;
        mutable std::shared_ptr<QTextLayout> layout; // made when first painted
    };
    // Line walking, by the rules the index follows.
    qint64 next(qint64 start);
    qint64 previous(qint64 start);
    qint64 walk(qint64 start, qint64 lines);
    qint64 lastLineStart();
    Line lineAt(qint64 start);
    qint64 offsetOfChar(const Line& line, qsizetype chars);
    qsizetype charOf(const Line& line, qint64 offset);

    int rows() const;
    void setTop(qint64 start);
    void scrollLines(qint64 lines);
    void syncScrollBars();
    void pollIndex();
    const std::vector<Line>& shown();
    QTextLayout& laidOut(const Line& line) const;

    void moveCursor(qint64 offset, qint64 lineStart, bool extend);
    void ensureCursorVisible();
    bool hitTest(QPoint at, qint64& offset, qint64& lineStart);

    std::shared_ptr<TextFileBlocks> blocks_;
    std::shared_ptr<LineIndex> index_;
    std::unique_ptr<LineIndexer> indexer_;
    TextEncoding encoding_;
    LineBreaks breaks_;
    qint64 first_ = 0;
    qint64 top_ = 0; // start of the top line
    std::vector<Line> shown_;
    bool shownValid_ = false;
    qreal widest_ = 0;
    qint64 anchor_ = 0, cursor_ = 0, cursorLine_ = 0;
    qsizetype column_ = -1; // kept while moving up and down
    bool syncing_ = false;
    QTimer* poll_;
};
