#include "controls/TextFileBlocks.h"

#include "system/ReadAt.h"

#include <sys/stat.h>

namespace {
constexpr qint64 BlockBytes = 64 * 1024;
constexpr size_t CachedBlocks = 32; // 2 MB: a few screens of the longest lines
} // namespace

HeldFile::HeldFile(FileHandle file) : file_(std::move(file)) {
    size_ = currentSize();
}

qint64 HeldFile::currentSize() const {
    struct stat st {};
    return ::fstat(file_.fd(), &st) == 0 ? st.st_size : 0;
}

qint64 HeldFile::read(char* into, qint64 len, qint64 at) const {
    return readAt(file_.fd(), into, len, at);
}

TextFileBlocks::TextFileBlocks(std::shared_ptr<const HeldFile> file)
    : file_(std::move(file)), end_(file_->size()) {}

const QByteArray& TextFileBlocks::block(qint64 number) {
    for (Cached& c : cache_)
        if (c.number == number) {
            c.used = ++clock_;
            return c.bytes;
        }
    if (cache_.size() == CachedBlocks) {
        auto oldest = cache_.begin();
        for (auto it = cache_.begin(); it != cache_.end(); ++it)
            if (it->used < oldest->used) oldest = it;
        cache_.erase(oldest);
    }
    const qint64 from = number * BlockBytes;
    const qint64 want = qMax<qint64>(0, qMin(BlockBytes, end_ - from));
    QByteArray bytes(want, Qt::Uninitialized);
    const qint64 got = file_->read(bytes.data(), want, from);
    if (got < want) {
        bytes.truncate(got);
        // Cut short while shown: the text ends where the file does now.
        end_ = got > 0 ? from + got : qMin(from, file_->currentSize());
    }
    cache_.push_back({number, bytes, ++clock_});
    return cache_.back().bytes;
}

QByteArray TextFileBlocks::bytes(qint64 from, qint64 to) {
    from = qMax<qint64>(0, from);
    QByteArray out;
    for (qint64 at = from; at < qMin(to, end_);) {
        const QByteArray& b = block(at / BlockBytes);
        const qint64 inBlock = at % BlockBytes;
        if (inBlock >= b.size()) break;
        const qint64 take = qMin<qint64>(b.size() - inBlock, qMin(to, end_) - at);
        out.append(b.constData() + inBlock, take);
        at += take;
    }
    return out;
}
