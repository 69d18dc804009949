#include "controls/LineIndexer.h"

#include "controls/LineIndex.h"
#include "controls/TextFileBlocks.h"

#include <QByteArray>

namespace {
// Read per step: large enough that the reads cost little beside the scan,
// small enough that stopping never waits long.
constexpr qint64 ChunkBytes = 1024 * 1024;

void indexLines(const HeldFile& file, LineBreaks breaks, qint64 first, LineIndex& index,
                const std::atomic_bool& stop) {
    LineStartScanner scanner(breaks, first);
    QByteArray chunk(ChunkBytes, Qt::Uninitialized);
    std::vector<qint64> starts;
    qint64 at = first;
    while (at < file.size() && !stop) {
        const qint64 got = file.read(chunk.data(), qMin(ChunkBytes, file.size() - at), at);
        scanner.feed(QByteArrayView(chunk.constData(), got), at, starts);
        at += got;
        index.append(starts);
        starts.clear();
        if (got < qMin(ChunkBytes, file.size() - at + got)) break; // the file got shorter
    }
    if (stop) return;
    scanner.finish(at, starts);
    index.append(starts);
    index.complete();
}
} // namespace

LineIndexer::LineIndexer(std::shared_ptr<const HeldFile> file, LineBreaks breaks, qint64 first,
                         std::shared_ptr<LineIndex> index)
    : thread_([this, file, breaks, first, index] {
          indexLines(*file, breaks, first, *index, stop_);
      }) {}

LineIndexer::~LineIndexer() {
    stop_ = true;
    wait();
}

void LineIndexer::wait() {
    if (thread_.joinable()) thread_.join();
}
