#pragma once

#include "formats/TextLines.h"

#include <atomic>
#include <memory>
#include <thread>

class HeldFile;
class LineIndex;

// Finds the line starts of a held file on a thread of its own and adds them
// to the index chunk by chunk, so that the view can use what is found so
// far. Destroying it stops the work within one chunk.
class LineIndexer {
  public:
    LineIndexer(std::shared_ptr<const HeldFile> file, LineBreaks breaks, qint64 first,
                std::shared_ptr<LineIndex> index);
    ~LineIndexer();
    LineIndexer(const LineIndexer&) = delete;
    LineIndexer& operator=(const LineIndexer&) = delete;

    // Waits till the index is complete.
    void wait();

  private:
    std::atomic_bool stop_{false};
    std::thread thread_;
};
