#pragma once

#include "controls/MessageBox.h"

#include <QList>
#include <QString>
#include <functional>

// Stands in for the message box while alive: records every box and answers
// it without a user.
class MsgBoxRecorder {
  public:
    struct Box {
        QString prompt;
        int code;
        QString title;
    };

    explicit MsgBoxRecorder(int answer = Mb::OK);
    ~MsgBoxRecorder();

    // Runs inside the box, before it is answered (to look at the screen then).
    void onShow(std::function<void(const Box&)> look) { look_ = std::move(look); }
    void setAnswer(int answer) { answer_ = answer; }

    QList<Box> boxes;

  private:
    int answer_;
    std::function<void(const Box&)> look_;
    MsgBoxHandler previous_;
};

// A box as "prompt|code|title", to compare in one go.
inline QString describe(const MsgBoxRecorder::Box& box) {
    return box.prompt + QLatin1Char('|') + QString::number(box.code) + QLatin1Char('|') + box.title;
}
