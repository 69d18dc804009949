#pragma once

#include "formats/PictureDetail.h"

#include <QObject>

#include <functional>
#include <memory>

// Decodes the picture a zoomed view needs on a worker thread, so that the
// window never waits for it. The latest request wins: an earlier one still
// decoding is told to stop, and its result is dropped.
class DetailFetcher : public QObject {
    Q_OBJECT
  public:
    using Done = std::function<void(const PictureDetail&)>;

    explicit DetailFetcher(QObject* parent = nullptr);
    ~DetailFetcher() override;

    // loadPictureDetail on the worker; done runs on this object's thread
    // unless another request or cancel() came first; a failure gives an empty
    // detail.
    void fetch(const QString& path, double scale, QRect visible, Done done);
    void cancel();
    bool isBusy() const { return busy_; }

  private:
    std::shared_ptr<std::atomic<bool>> stop_;
    quint64 generation_ = 0;
    bool busy_ = false;
};
