#pragma once

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class PictureAnimation;
class QImage;
class QThread;

// Decodes pictures on a worker thread, so that no file holds the window. The
// latest request wins: it supersedes any not yet answered, whose result is
// dropped and whose metafile stops playing. One decode runs at a time; the
// latest request waits behind it, the ones between are forgotten.
class PictureFetcher : public QObject {
    Q_OBJECT
  public:
    using Done = std::function<void(const QImage& picture, std::unique_ptr<PictureAnimation>)>;

    explicit PictureFetcher(QObject* parent = nullptr);
    // Waits a little for a decode still running, else leaves it to end alone.
    ~PictureFetcher() override;

    // Decodes the file's picture, fitted in limit, and its animation if it has
    // one; done then runs on this object's thread, unless another request or
    // cancel() came first. A file that is no picture ends without a call.
    void fetch(const QString& path, QSize limit, Done done);
    void cancel();
    // A request is neither answered nor refused yet.
    bool isBusy() const;

  private:
    struct Job;
    void start(std::shared_ptr<Job> job);
    void workerFinished();

    std::shared_ptr<Job> running_, waiting_;
    QThread* worker_ = nullptr;
    quint64 generation_ = 0; // of the latest request; older results are stale
};
