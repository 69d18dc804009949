#include "controls/LineIndex.h"

#include <algorithm>

LineIndex::LineIndex(qint64 first) {
    append({first});
}

void LineIndex::append(const std::vector<qint64>& starts) {
    const QMutexLocker lock(&mutex_);
    constexpr qint64 PageLines = qint64(1) << PageBits;
    for (const qint64 start : starts) {
        while (qint64(carries_.size()) < (start >> 32))
            carries_.push_back(count_);
        if (count_ % PageLines == 0) pages_.push_back(std::make_unique<quint32[]>(PageLines));
        pages_.back()[count_ % PageLines] = quint32(start);
        ++count_;
    }
}

void LineIndex::complete() {
    const QMutexLocker lock(&mutex_);
    complete_ = true;
}

bool LineIndex::isComplete() const {
    const QMutexLocker lock(&mutex_);
    return complete_;
}

qint64 LineIndex::count() const {
    const QMutexLocker lock(&mutex_);
    return count_;
}

qint64 LineIndex::start(qint64 line) const {
    const QMutexLocker lock(&mutex_);
    return startLocked(qBound<qint64>(0, line, count_ - 1));
}

qint64 LineIndex::startLocked(qint64 line) const {
    const qint64 high = std::upper_bound(carries_.begin(), carries_.end(), line) - carries_.begin();
    const qint64 mask = (qint64(1) << PageBits) - 1;
    return high << 32 | pages_[size_t(line >> PageBits)][line & mask];
}

qint64 LineIndex::lineOf(qint64 offset) const {
    const QMutexLocker lock(&mutex_);
    // Past the last start counted, another may still be found before offset.
    if (!complete_ && offset > startLocked(count_ - 1)) return -1;
    qint64 low = 0, high = count_ - 1;
    while (low < high) {
        const qint64 mid = (low + high + 1) / 2;
        if (startLocked(mid) <= offset)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}
