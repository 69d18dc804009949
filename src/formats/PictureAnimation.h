#pragma once

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QSize>

#include <memory>

class QThread;

// The frames of an animated picture (GIF, or whatever Qt's readers animate),
// composed frame over frame by the reader, each scaled down to fit in a
// limit, played in a loop. It reads the file's bytes already in memory, so
// that the file is opened once, whatever its name.
class PictureAnimation {
  public:
    // Null when the bytes hold no animation of more than one frame.
    static std::unique_ptr<PictureAnimation> open(const QByteArray& bytes, QSize limit);

    // The next frame, after the first (which the picture loader gave); from the
    // start again after the last. Null when a frame cannot be read.
    QImage nextFrame();
    // How long the frame last returned (or the first) stays, in milliseconds.
    int delayMs() const { return delayMs_; }
    // Hands the animation to the thread that plays it, when another made it.
    void moveToThread(QThread* thread) { buffer_.moveToThread(thread); }

  private:
    PictureAnimation(const QByteArray& bytes, QSize limit);
    bool restart();
    QImage readFrame();

    QByteArray bytes_;
    QBuffer buffer_;
    std::unique_ptr<QImageReader> reader_;
    QSize limit_;
    int delayMs_ = 100;
};
