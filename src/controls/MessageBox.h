#pragma once

#include <QString>
#include <functional>

// Buttons-and-icon codes and answers of the message box.
namespace Mb {
constexpr int YesNo = 4;
constexpr int Exclamation = 48; // exclamation icon, OK button
constexpr int Information = 64; // information icon, OK button
constexpr int OK = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace Mb

// Shows a modal message box and returns the button pressed. Every notice
// of the program goes through here.
int MsgBox(const QString& prompt, int code, const QString& title);

using MsgBoxHandler = std::function<int(const QString& prompt, int code, const QString& title)>;

// Replaces the message box (tests answer it without a user); an empty
// handler brings the real one back. Returns the handler that was in place.
MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler);
