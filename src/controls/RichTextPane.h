#pragma once

#include <QTextEdit>

class FileHandle;
class LargeTextView;
class TextPaneLoading;
struct TextFileContent;

// The rich-text pane: shows a document read-only, with selection allowed. RTF
// keeps its formatting, Word 97-2003 documents show their text, NFO files their
// DOS art in a fixed-pitch font, and anything else shows as plain text. A
// plain text too large to show whole quickly shows in a view of its own that
// takes the pane's place.
class RichTextPane : public QTextEdit {
    Q_OBJECT
  public:
    explicit RichTextPane(QWidget* parent = nullptr);
    ~RichTextPane() override;

    QString FileName() const { return fileName_; }
    // Loads the file, replacing what the pane held; throws the platform
    // error when the file cannot be opened. A small file shows at once; a
    // larger one is read and decoded on a worker thread, then shows its start
    // and the rest is added from the event loop. Pictures in RTF are decoded
    // on a worker thread and fill their frames when ready.
    void setFileName(const QString& path);

    // The line shown for a document whose text cannot be read.
    static QString unreadableText();

    bool isLoading() const;
    // Adds what is still to come at once, waiting for the worker threads.
    void finishLoading();

    // The view that shows a large plain text in the pane's place; null while
    // the pane shows its own document.
    LargeTextView* largeText() const;

  signals:
    // A text shown in steps is complete.
    void loadFinished();

  private:
    void present(const TextFileContent& content);
    QTextDocument* newDocument(const QFont& font);
    void showDocument(QTextDocument* doc);
    void showLarge(FileHandle file, const QByteArray& start, bool nfo);
    void hideLarge();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QString fileName_;
    QFont paneFont_;
    TextPaneLoading* loading_;
    LargeTextView* large_ = nullptr;
};
