#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <atomic>
#include <memory>

class FileHandle;
class PendingPictures;
class QTextDocument;
class QTimer;
class RtfLoader;
struct TextFileContent;
template <typename T> class QFutureWatcher;

// How a document reaches the rich-text pane: a file read and decoded on a
// worker thread, then its text or RTF added to the pane's document per turn
// of the event loop, in steps that keep the window live; RTF pictures are
// decoded meanwhile. stop() drops all of it, and nothing of it lands later.
class TextPaneLoading : public QObject {
    Q_OBJECT
  public:
    explicit TextPaneLoading(QObject* parent = nullptr);
    ~TextPaneLoading() override;

    void stop();
    // Reads the open file on a worker thread; contentRead follows.
    void readInBackground(FileHandle file, bool nfo);
    // Puts the text's start into doc at once; the rest follows in steps
    // once proceed() is called (when the pane shows the document).
    void startText(QTextDocument* doc, const QString& text);
    // Reads the RTF's start into doc at once; the rest follows in the same way.
    void startRtf(QTextDocument* doc, const QByteArray& rtf);
    // Schedules the next step, or ends the load when nothing is left.
    void proceed();

    bool isLoading() const;
    // Adds what is still to come at once, waiting for the worker threads.
    void finish();

  signals:
    void contentRead(const TextFileContent& content);
    // Emitted after each step while more is to come.
    void stillLoading();
    // A load is complete.
    void finished();

  private:
    void takeReadContent();
    bool stepsLeft() const;
    void appendStep();
    void appendTo(qsizetype size);
    void fitStepTo(qint64 elapsedMs);

    QPointer<QTextDocument> doc_;                        // the document being filled
    QString pending_;                                    // text still to add
    qsizetype pendingAt_ = 0;                            // how much of it is added
    qsizetype column_ = 0;                               // length of the last paragraph added
    std::unique_ptr<RtfLoader> rtf_;                     // an RTF document still being read
    std::unique_ptr<PendingPictures> pictures_;          // its pictures still being decoded
    QFutureWatcher<TextFileContent>* reading_ = nullptr; // a file read on a worker
    std::shared_ptr<std::atomic_bool> readDropped_;
    qsizetype stepSize_ = 0; // characters or RTF bytes added per step
    bool feeding_ = false;   // a load is under way
    QTimer* feeder_;
};
