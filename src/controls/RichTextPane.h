#pragma once

#include <QTextEdit>

#include <atomic>
#include <memory>

class PendingPictures;
class QTimer;
class RtfLoader;
struct TextFileContent;
template <typename T> class QFutureWatcher;

// The rich-text pane: shows a document read-only, with selection allowed. RTF
// keeps its formatting, Word 97-2003 documents show their text, NFO files their
// DOS art in a fixed-pitch font, and anything else shows as plain text.
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

  signals:
    // A text shown in steps is complete.
    void loadFinished();

  private:
    void stopLoading();
    void readInBackground(int fd, bool nfo);
    void takeReadContent();
    void present(const TextFileContent& content);
    QTextDocument* newDocument(const QFont& font);
    void showRtf(const QByteArray& rtf);
    void showText(const QString& text, const QFont& font);
    bool stepsLeft() const;
    void appendStep();
    void appendTo(QTextDocument* doc, qsizetype size);
    void scheduleRest();
    void fitStepTo(qint64 elapsedMs);

    QString fileName_;
    QFont paneFont_;
    QString pending_;                                    // text still to add
    qsizetype pendingAt_ = 0;                            // how much of it is added
    qsizetype column_ = 0;                               // length of the last paragraph added
    std::unique_ptr<RtfLoader> rtf_;                     // an RTF document still being read
    std::unique_ptr<PendingPictures> pictures_;          // its pictures still being decoded
    QFutureWatcher<TextFileContent>* reading_ = nullptr; // a file read on a worker
    std::shared_ptr<std::atomic_bool> readDropped_;
    qsizetype stepSize_ = 0; // characters or RTF bytes added per step
    bool feeding_ = false;   // a text load is under way
    QTimer* feeder_;
};
