#include "controls/FullScreenPicture.h"

#include "controls/FileListBox.h"
#include "controls/PictureBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace {
// Left and Right step through the list as Up and Down do.
int listKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return Qt::Key_Up;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return Qt::Key_Down;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return key;
    default:
        return 0;
    }
}
} // namespace

FullScreenPicture::FullScreenPicture(PictureBox* area, FileListBox* list, QWidget* owner)
    : QWidget(owner, Qt::Window), area_(area), list_(list) {
    setWindowTitle(owner->windowTitle());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    area_->installEventFilter(this);
    list_->installEventFilter(this);
}

bool FullScreenPicture::isShowing() const {
    return area_->parentWidget() == this;
}

void FullScreenPicture::enter() {
    if (isShowing() || area_->isHidden()) return; // no picture: nothing to show
    home_ = area_->parentWidget();
    homeCorner_ = area_->pos();
    const QObjectList& siblings = home_->children();
    const qsizetype at = siblings.indexOf(area_);
    above_ = at + 1 < siblings.size() ? qobject_cast<QWidget*>(siblings[at + 1]) : nullptr;
    focusBefore_ = QApplication::focusWidget();
    area_->setFullScreen(true);
    area_->rehome(this);
    area_->setGeometry(rect());
    area_->show();
    // Where no window manager places it, the window covers the screen itself.
    if (const QScreen* where = home_->window()->screen()) setGeometry(where->geometry());
    showFullScreen();
    raise();
    activateWindow();
    area_->setFocus();
}

void FullScreenPicture::leave() {
    if (!isShowing()) return;
    const bool shown = !area_->isHidden(); // as the last selection left it
    area_->rehome(home_);
    if (above_) area_->stackUnder(above_);
    area_->move(homeCorner_);
    area_->setFullScreen(false);
    area_->setVisible(shown);
    hide();
    if (QWidget* window = home_->window()) window->activateWindow();
    if (focusBefore_) focusBefore_->setFocus();
}

bool FullScreenPicture::handleKey(QKeyEvent* event, bool inList) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F11 && mods == Qt::NoModifier) {
        if (isShowing())
            leave();
        else if (area_->isHidden())
            return false;
        else
            enter();
        return true;
    }
    if (inList) return area_->zoomKey(event); // the list's own keys stay its own
    if (!isShowing()) return false;
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        leave();
        return true;
    }
    const int key = listKey(event->key());
    if (key == 0 || mods != Qt::NoModifier) return area_->zoomKey(event);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(list_, &press);
    return true;
}

bool FullScreenPicture::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == list_ || watched == area_))
        return handleKey(static_cast<QKeyEvent*>(event), watched == list_);
    return QWidget::eventFilter(watched, event);
}

void FullScreenPicture::keyPressEvent(QKeyEvent* event) {
    // The picture area hidden (a selection that is no picture): keys come here.
    if (!handleKey(event, false)) QWidget::keyPressEvent(event);
}

void FullScreenPicture::closeEvent(QCloseEvent* event) {
    leave(); // closed by the window manager: the area goes home all the same
    QWidget::closeEvent(event);
}

void FullScreenPicture::paintEvent(QPaintEvent* event) {
    QPainter(this).fillRect(event->rect(), Qt::black);
}

void FullScreenPicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isShowing()) area_->setGeometry(rect());
}
