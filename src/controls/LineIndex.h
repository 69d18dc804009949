#pragma once

#include <QMutex>

#include <memory>
#include <vector>

// The starts of a text's lines, as byte offsets, in four bytes a line: the
// low 32 bits of each start, and where the high bits step up. One worker
// appends while the view reads; a line once counted never changes.
class LineIndex {
  public:
    explicit LineIndex(qint64 first);

    void append(const std::vector<qint64>& starts);
    void complete();

    bool isComplete() const;
    qint64 count() const;
    // The start of line (< count).
    qint64 start(qint64 line) const;
    // The line that holds offset; -1 when the index does not reach it yet.
    qint64 lineOf(qint64 offset) const;

  private:
    qint64 startLocked(qint64 line) const;

    static constexpr int PageBits = 16;
    mutable QMutex mutex_;
    std::vector<std::unique_ptr<quint32[]>> pages_;
    std::vector<qint64> carries_; // the first line at or past each multiple of 4 GB
    qint64 count_ = 0;
    bool complete_ = false;
};
