#pragma once

#include <QByteArray>
#include <QIODevice>

#include <atomic>
#include <cstring>

// Devices whose reads fail once stop turns true, so that a decoder nobody
// waits for any more ends at its next read instead of decoding to the end.
template <class Device> class Stoppable : public Device {
  public:
    explicit Stoppable(const std::atomic<bool>* stop) : stop_(stop) {}

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (stop_ && stop_->load(std::memory_order_relaxed)) return -1;
        return Device::readData(data, maxSize);
    }

  private:
    const std::atomic<bool>* stop_;
};

// Bytes in memory, open for reading. (Qt's image readers may read a QBuffer's
// bytes directly, past any device override, so this is no QBuffer.)
class StoppableBytes : public QIODevice {
  public:
    StoppableBytes(const QByteArray& bytes, const std::atomic<bool>* stop)
        : bytes_(bytes), stop_(stop) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 size() const override { return bytes_.size(); }

  protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (stop_ && stop_->load(std::memory_order_relaxed)) return -1;
        const qint64 n = qBound<qint64>(0, bytes_.size() - pos(), maxSize);
        std::memcpy(data, bytes_.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    const QByteArray bytes_;
    const std::atomic<bool>* stop_;
};
