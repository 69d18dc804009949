#pragma once

#include "system/MediaTypes.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class GstPlayer;
class VideoWindow;

// The hidden media control: plays one sound or video file on command.
// Failing commands are quiet; the caller never hears of them.
class MediaControl : public QWidget {
    Q_OBJECT
  public:
    explicit MediaControl(QWidget* parent = nullptr);
    ~MediaControl() override;

    QString FileName() const { return fileName_; }
    void setFileName(const QString& path) { fileName_ = path; }
    // "Close", "Open" or "Play" (any letter case).
    void setCommand(const QString& command);

    // What tests look at; the program itself reads nothing back.
    // A player whose file GStreamer gave up on counts as closed at once,
    // before its failure reaches the event loop and closes it.
    bool isOpen() const;
    GstPlayer* player() const { return player_.get(); }
    VideoWindow* videoWindow() const;

    // Longest wait for GStreamer to get a file ready to play.
    static constexpr int OpenWaitMs = 500;

  private:
    void close();
    void open();
    void play();
    void showPicture(const QImage& picture);

    QString fileName_;
    QString openTitle_;
    bool playing_ = false;
    std::unique_ptr<GstPlayer> player_;
    QPointer<VideoWindow> videoWindow_;
};
