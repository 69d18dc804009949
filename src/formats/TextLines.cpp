#include "formats/TextLines.h"

#include <cstring>

namespace {
qint64 nextMultiple(qint64 offset) {
    return (offset / PieceBytes + 1) * PieceBytes;
}
} // namespace

char16_t LineBreaks::unitAt(QByteArrayView bytes, qsizetype i) const {
    if (unit == 1) return uchar(bytes[i]);
    const uchar a = uchar(bytes[i]), z = uchar(bytes[i + 1]);
    return bigEndian ? char16_t(a << 8 | z) : char16_t(z << 8 | a);
}

int LineBreaks::endAt(QByteArrayView bytes, qsizetype i) const {
    if (i < 0 || i + unit > bytes.size()) return 0;
    const char16_t c = unitAt(bytes, i);
    if (c == u'\n') return unit;
    if (c != u'\r') return 0;
    return i + 2 * unit <= bytes.size() && unitAt(bytes, i + unit) == u'\n' ? 2 * unit : unit;
}

int LineBreaks::endBefore(QByteArrayView bytes, qsizetype i) const {
    if (i - unit < 0 || i > bytes.size()) return 0;
    const char16_t c = unitAt(bytes, i - unit);
    if (c == u'\n')
        return i - 2 * unit >= 0 && unitAt(bytes, i - 2 * unit) == u'\r' ? 2 * unit : unit;
    if (c != u'\r') return 0;
    // Between the CR and LF of a pair no line starts.
    return i + unit <= bytes.size() && unitAt(bytes, i) == u'\n' ? 0 : unit;
}

qint64 nextLineStart(const TextWindow& w, const LineBreaks& b, qint64 start) {
    const qint64 end = qMin(w.end, w.base + w.bytes.size());
    const qint64 limit = qMin(end, start + PieceBytes + b.unit);
    for (qint64 i = start; i + b.unit <= limit; i += b.unit)
        if (const int t = b.endAt(w.bytes, i - w.base)) return qMin(i + t, end);
    return end - start <= PieceBytes ? end : nextMultiple(start);
}

qint64 previousLineStart(const TextWindow& w, const LineBreaks& b, qint64 start) {
    const qint64 contentEnd = start - b.endBefore(w.bytes, start - w.base);
    qint64 lineStart = -1; // unknown: more than two pieces back
    for (qint64 p = contentEnd; p >= contentEnd - 2 * PieceBytes; p -= b.unit) {
        if (p <= w.first) {
            lineStart = w.first;
            break;
        }
        if (p - w.base < b.unit) break;
        if (b.endBefore(w.bytes, p - w.base)) {
            lineStart = p;
            break;
        }
    }
    if (lineStart >= 0 && contentEnd - lineStart <= PieceBytes) return lineStart;
    return (contentEnd - 1) / PieceBytes * PieceBytes;
}

void LineStartScanner::lineEnd(qint64 contentEnd, qint64 next, std::vector<qint64>& out) {
    if (startPending_) out.push_back(lineStart_);
    if (contentEnd - lineStart_ > PieceBytes)
        for (qint64 m = nextMultiple(lineStart_); m < contentEnd; m += PieceBytes)
            out.push_back(m);
    lineStart_ = next;
    startPending_ = true;
}

void LineStartScanner::feed(QByteArrayView bytes, qint64 at, std::vector<qint64>& out) {
    if (bytes.size() < b_.unit) return;
    if (crAt_ >= 0) {
        const bool pair = b_.unitAt(bytes, 0) == u'\n';
        lineEnd(crAt_, crAt_ + (pair ? 2 : 1) * b_.unit, out);
        crAt_ = -1;
        if (pair) bytes = bytes.sliced(b_.unit), at += b_.unit;
    }
    if (b_.unit == 1) return feedBytes(bytes, at, out);
    const qsizetype size = bytes.size() & ~1;
    for (qsizetype i = 0; i < size; i += 2) {
        const char16_t c = b_.unitAt(bytes, i);
        if (c == u'\n') {
            lineEnd(at + i, at + i + 2, out);
        } else if (c == u'\r') {
            if (i + 2 >= size) {
                crAt_ = at + i;
            } else {
                const int t = b_.endAt(bytes, i);
                lineEnd(at + i, at + i + t, out);
                i += t - 2;
            }
        }
    }
}

void LineStartScanner::feedBytes(QByteArrayView bytes, qint64 at, std::vector<qint64>& out) {
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    const auto find = [&](qsizetype from, char c) {
        const void* hit = std::memchr(data + from, c, size_t(size - from));
        return hit ? static_cast<const char*>(hit) - data : size;
    };
    qsizetype lf = find(0, '\n'), cr = find(0, '\r');
    for (qsizetype i = 0;;) {
        if (lf < i) lf = find(i, '\n');
        if (cr < i) cr = find(i, '\r');
        const qsizetype t = qMin(lf, cr);
        if (t >= size) return;
        if (t == lf) {
            lineEnd(at + t, at + t + 1, out);
            i = t + 1;
        } else if (t + 1 == size) {
            crAt_ = at + t;
            return;
        } else {
            i = t + (data[t + 1] == '\n' ? 2 : 1);
            lineEnd(at + t, at + i, out);
        }
    }
}

void LineStartScanner::finish(qint64 end, std::vector<qint64>& out) {
    if (crAt_ >= 0) lineEnd(crAt_, crAt_ + b_.unit, out);
    crAt_ = -1;
    if (lineStart_ >= end) return;
    lineEnd(end, end, out);
    startPending_ = false;
}
