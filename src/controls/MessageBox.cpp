#include "controls/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

MsgBoxHandler& currentHandler() {
    static MsgBoxHandler handler;
    return handler;
}

int showRealBox(const QString& prompt, int code, const QString& title) {
    const int buttons = code & 0x0f;
    const int icon = code & 0x70;
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(prompt);
    box.setIcon(icon == Mb::Information   ? QMessageBox::Information
                : icon == Mb::Exclamation ? QMessageBox::Warning
                : icon == 16              ? QMessageBox::Critical
                : icon == 32              ? QMessageBox::Question
                                          : QMessageBox::NoIcon);
    if (buttons == Mb::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int pressed = box.exec();
    if (pressed == QMessageBox::Yes) return Mb::Yes;
    if (pressed == QMessageBox::No) return Mb::No;
    return Mb::OK;
}

} // namespace

int MsgBox(const QString& prompt, int code, const QString& title) {
    if (const MsgBoxHandler& handler = currentHandler()) return handler(prompt, code, title);
    return showRealBox(prompt, code, title);
}

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler) {
    MsgBoxHandler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}
