#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

typedef struct _GstElement GstElement;
struct GstMailbox;

// One file played by a GStreamer playbin: sound to the default audio output
// (a silent one on machines without sound), pictures handed over as QImages.
// All calls come from the user-interface thread and never wait without bound;
// what GStreamer's threads report arrives through the Qt event loop.
class GstPlayer : public QObject {
    Q_OBJECT
  public:
    // Opens `path` and waits at most `waitMs` for the pipeline to be ready;
    // nullptr when GStreamer cannot play the file.
    static std::unique_ptr<GstPlayer> open(const QString& path, int waitMs);
    ~GstPlayer() override;

    // Plays from the start; returns at once.
    void play();

    bool isPlaying() const;
    // Whether GStreamer reported that it cannot play the file.
    bool hasFailed() const;
    qint64 positionMs() const;

  signals:
    // GStreamer gave up on the file after it was opened.
    void failed();
    void frame(const QImage& picture);

  protected:
    void customEvent(QEvent* event) override;

  private:
    explicit GstPlayer(GstElement* pipeline);

    static constexpr int CloseWaitMs = 300;
    // From the start of the preroll to the first pictures and sound. A MIDI
    // file loads its sound font meanwhile, which takes seconds under the
    // sanitizers on a busy machine.
    static constexpr int PrerollDeadlineMs = 30000;

    GstElement* pipeline_;
    std::shared_ptr<GstMailbox> mailbox_;
};
