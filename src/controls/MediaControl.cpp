#include "controls/MediaControl.h"

#include "media/GstPlayer.h"
#include "controls/VideoWindow.h"
#include "system/FileNames.h"

#include <QFileInfo>

MediaControl::MediaControl(QWidget* parent) : QWidget(parent) {
    hide();
}

MediaControl::~MediaControl() {
    close();
}

VideoWindow* MediaControl::videoWindow() const {
    return videoWindow_;
}

bool MediaControl::isOpen() const {
    return player_ && !player_->hasFailed();
}

void MediaControl::setCommand(const QString& command) {
    const QString c = command.trimmed().toLower();
    if (c == QLatin1String("close"))
        close();
    else if (c == QLatin1String("open"))
        open();
    else if (c == QLatin1String("play"))
        play();
}

void MediaControl::close() {
    playing_ = false;
    if (VideoWindow* window = videoWindow_) {
        videoWindow_ = nullptr;
        window->disconnect(this);
        window->hide();
        window->deleteLater(); // its own close event may be what got here
    }
    player_.reset();
}

void MediaControl::open() {
    const MediaKind kind = mediaKindOf(fileName_);
    if (kind == MediaKind::None) return; // no device for this type: the command fails
    close();
    player_ = GstPlayer::open(fileName_, OpenWaitMs);
    if (!player_) return;
    openTitle_ = FileNames::display(QFileInfo(fileName_).fileName());
    GstPlayer* player = player_.get();
    // Queued, so that the player is not deleted inside its own event; and a
    // failure reported late closes only its own player.
    connect(
        player, &GstPlayer::failed, this,
        [this, failing = QPointer<GstPlayer>(player)] {
            if (failing && failing == player_.get()) close();
        },
        Qt::QueuedConnection);
    if (kind == MediaKind::Video)
        connect(player, &GstPlayer::frame, this, &MediaControl::showPicture);
}

void MediaControl::play() {
    if (!player_) return;
    playing_ = true;
    player_->play();
    if (videoWindow_) videoWindow_->show();
}

void MediaControl::showPicture(const QImage& picture) {
    // The window comes with the first picture: a video whose pictures cannot
    // be decoded plays its sound without one.
    if (!videoWindow_) {
        videoWindow_ = new VideoWindow(openTitle_, window());
        videoWindow_->fitTo(picture.size());
        connect(videoWindow_, &VideoWindow::closed, this, [this] { close(); });
    }
    videoWindow_->showPicture(picture);
    if (playing_) videoWindow_->show();
}
