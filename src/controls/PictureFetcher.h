#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class PictureAnimation;
class PictureCache;
class QImage;
class QThread;
class QTimer;

// Decodes pictures on a worker thread, so that no file holds the window. The
// latest request wins: it supersedes any not yet answered, whose result is
// dropped and whose metafile stops playing. One decode runs at a time; the
// latest request waits behind it, the ones between are forgotten.
// Once the selection rests, the neighbours of the picture shown are decoded
// ahead on a second worker into a small cache; a request stops that at once,
// and a request for a picture decoded ahead is answered at once.
class PictureFetcher : public QObject {
    Q_OBJECT
  public:
    using Done = std::function<void(const QImage& picture, std::unique_ptr<PictureAnimation>)>;

    explicit PictureFetcher(QObject* parent = nullptr);
    // Waits a little for a decode still running, else leaves it to end alone.
    ~PictureFetcher() override;

    // Decodes the file's picture, fitted in limit, and its animation if it has
    // one; done then runs on this object's thread, unless another request or
    // cancel() came first. A file that is no picture ends without a call. A
    // picture decoded ahead at this limit, from the file as it is now, is
    // given before fetch returns.
    void fetch(const QString& path, QSize limit, Done done);
    void cancel();
    // A request is neither answered nor refused yet (decoding ahead is none).
    bool isBusy() const;

    // Decodes these pictures ahead, in order, at limit, once no request has
    // come for a moment (a held key never waits behind them) and none is
    // running, while allowed() says so; forgets every picture decoded ahead
    // but theirs and shown's.
    void prefetch(const QString& shown, const QStringList& neighbours, QSize limit,
                  std::function<bool()> allowed);
    // Stops decoding ahead and forgets what was.
    void dropPrefetched();
    // Pictures the cache holds (the one shown among them), and whether one
    // is being decoded ahead now or is about to be.
    int prefetchedCount() const;
    bool isDecodingAhead() const;

  private:
    struct Job;
    void start(std::shared_ptr<Job> job);
    void workerFinished();
    void startPrefetch();
    void prefetchFinished();
    QThread* launch(const std::shared_ptr<Job>& job);

    std::shared_ptr<Job> running_, waiting_, ahead_;
    QThread* worker_ = nullptr;
    QThread* aheadWorker_ = nullptr;
    quint64 generation_ = 0; // of the latest request; older results are stale
    std::unique_ptr<PictureCache> cache_;
    QStringList toDecode_, wanted_;
    QSize aheadLimit_;
    std::function<bool()> allowed_;
    QTimer* rest_; // how long the selection rests before decoding ahead
};
