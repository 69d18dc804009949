#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// Thrown when a read would leave the bytes it is allowed to see. Record
// decoders let it escape to skip one record; header parsing turns it into 481.
struct MalformedData {};

// Little-endian reads from a window of bytes, every one checked against it.
class ByteReader {
  public:
    ByteReader() = default;
    explicit ByteReader(QByteArrayView bytes) : bytes_(bytes) {}

    qsizetype size() const { return bytes_.size(); }
    bool has(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
    void require(qint64 offset, qint64 length) const {
        if (!has(offset, length)) throw MalformedData{};
    }

    quint8 u8(qint64 at) const { return quint8(raw(at, 1)[0]); }
    quint16 u16(qint64 at) const {
        const char* p = raw(at, 2);
        return quint16(quint8(p[0]) | quint8(p[1]) << 8);
    }
    qint16 i16(qint64 at) const { return qint16(u16(at)); }
    quint32 u32(qint64 at) const { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; }
    qint32 i32(qint64 at) const { return qint32(u32(at)); }
    float f32(qint64 at) const;

    // A sub-window; throws when it does not fit.
    ByteReader slice(qint64 offset, qint64 length) const {
        require(offset, length);
        return ByteReader(bytes_.sliced(offset, length));
    }
    QByteArrayView view() const { return bytes_; }

  private:
    const char* raw(qint64 at, qint64 length) const {
        require(at, length);
        return bytes_.data() + at;
    }
    QByteArrayView bytes_;
};
