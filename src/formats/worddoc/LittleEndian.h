#pragma once

#include <QByteArrayView>
#include <QtEndian>

// Bounds-checked little-endian reads from a window of bytes: a read that would
// leave the window gives 0, so a damaged length can never read out of bounds.
class LittleEndian {
  public:
    explicit LittleEndian(QByteArrayView data, qsizetype offset = 0, qsizetype length = -1) {
        offset = qBound<qsizetype>(0, offset, data.size());
        const qsizetype left = data.size() - offset;
        data_ = data.sliced(offset, length < 0 ? left : qMin(length, left));
    }

    bool has(qsizetype at, qsizetype count) const {
        return at >= 0 && count >= 0 && at <= data_.size() && count <= data_.size() - at;
    }
    quint8 u8(qsizetype at) const { return has(at, 1) ? quint8(data_[at]) : 0; }
    quint16 u16(qsizetype at) const { return read<quint16>(at); }
    quint32 u32(qsizetype at) const { return read<quint32>(at); }
    quint64 u64(qsizetype at) const { return read<quint64>(at); }
    QByteArrayView bytes(qsizetype at, qsizetype count) const {
        return has(at, count) ? data_.sliced(at, count) : QByteArrayView();
    }
    qsizetype size() const { return data_.size(); }

  private:
    template <typename T> T read(qsizetype at) const {
        return has(at, sizeof(T)) ? qFromLittleEndian<T>(data_.data() + at) : T(0);
    }

    QByteArrayView data_;
};
