#pragma once

#include "system/MediaTypes.h"

#include <QPointer>
#include <QWidget>

class QMediaPlayer;
class QAudioOutput;
class QVideoWidget;

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

    // What tests and the window look at; the program itself reads nothing back.
    bool isOpen() const { return openKind_ != MediaKind::None; }
    QMediaPlayer* player() const { return player_; }
    QWidget* videoWindow() const { return videoWindow_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void close();
    void open();
    void play();
    void ensurePlayer();
    bool waitUntilLoaded();

    static constexpr int LoadTimeoutMs = 5000;

    QString fileName_;
    MediaKind openKind_ = MediaKind::None;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    QPointer<QWidget> videoWindow_;
};
