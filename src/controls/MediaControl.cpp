#include "controls/MediaControl.h"

#include "system/FileNames.h"

#include <QAudioOutput>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>

MediaControl::MediaControl(QWidget* parent) : QWidget(parent) { hide(); }

MediaControl::~MediaControl() { close(); }

void MediaControl::setCommand(const QString& command) {
    const QString c = command.trimmed().toLower();
    if (c == QLatin1String("close")) close();
    else if (c == QLatin1String("open")) open();
    else if (c == QLatin1String("play")) play();
}

void MediaControl::ensurePlayer() {
    if (player_) return;
    // The GStreamer backend copes with machines that have no sound device.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    player_->setAudioOutput(audio_);
}

void MediaControl::close() {
    if (!isOpen()) return;
    openKind_ = MediaKind::None;
    player_->stop();
    player_->setVideoOutput(nullptr);
    player_->setSource(QUrl());
    if (videoWindow_) {
        videoWindow_->removeEventFilter(this);
        delete videoWindow_.data();
    }
}

void MediaControl::open() {
    const MediaKind kind = mediaKindOf(fileName_);
    if (kind == MediaKind::None) return; // no device for this type: the command fails
    close();
    ensurePlayer();
    if (kind == MediaKind::Video) {
        auto* window = new QVideoWidget;
        window->installEventFilter(this);
        window->setWindowTitle(FileNames::display(QFileInfo(fileName_).fileName()));
        window->resize(320, 240);
        // The window takes the video's own size once its first picture arrives.
        connect(window->videoSink(), &QVideoSink::videoFrameChanged, window,
                [window](const QVideoFrame& frame) {
                    if (!window->property("sized").toBool() && frame.isValid()) {
                        window->setProperty("sized", true);
                        window->resize(frame.size());
                    }
                });
        videoWindow_ = window;
        player_->setVideoOutput(window);
    }
    player_->setSource(FileNames::fileUrl(fileName_));
    openKind_ = kind;
    if (!waitUntilLoaded()) close(); // the backend cannot play it after all
}

bool MediaControl::waitUntilLoaded() {
    // Opening is finished only when the backend has built its pipeline: a
    // stop or a new source while it is still adding its decoders can hang
    // the backend. Input waits, so no other handler runs meanwhile.
    const auto loading = [this] { return player_->mediaStatus() == QMediaPlayer::LoadingMedia; };
    if (loading()) {
        QEventLoop wait;
        QTimer::singleShot(LoadTimeoutMs, &wait, &QEventLoop::quit);
        connect(player_, &QMediaPlayer::mediaStatusChanged, &wait, [&] {
            if (!loading()) wait.quit();
        });
        connect(player_, &QMediaPlayer::errorOccurred, &wait, &QEventLoop::quit);
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return player_->mediaStatus() != QMediaPlayer::InvalidMedia &&
           player_->error() == QMediaPlayer::NoError;
}

bool MediaControl::eventFilter(QObject* watched, QEvent* event) {
    // Closing the video's window stops the video; the device stays open.
    if (watched == videoWindow_ && event->type() == QEvent::Close && player_) player_->stop();
    return QWidget::eventFilter(watched, event);
}

void MediaControl::play() {
    if (!isOpen()) return;
    if (videoWindow_) videoWindow_->show();
    player_->setPosition(0);
    player_->play();
}
