#include "support/MsgBoxRecorder.h"

MsgBoxRecorder::MsgBoxRecorder(int answer) : answer_(answer) {
    previous_ = setMsgBoxHandler([this](const QString& prompt, int code, const QString& title) {
        boxes.append(Box{prompt, code, title});
        if (look_) look_(boxes.last());
        return answer_;
    });
}

MsgBoxRecorder::~MsgBoxRecorder() { setMsgBoxHandler(std::move(previous_)); }
