// Message boxes. Every box of the program goes through MsgBox(), whose presenter
// tests replace to record the text and answer with a chosen button.
#pragma once

#include <QString>
#include <functional>

// Buttons (low bits), icon and result codes keep the classic numeric values,
// because callers combine and compare them as numbers.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

namespace platform
{

struct MessageBoxRequest {
    QString prompt;
    int buttons = vbOKOnly; // buttons | icon
    QString title;          // already resolved: never empty
};

using MessageBoxPresenter = std::function<int(const MessageBoxRequest &)>;

// Replaces the presenter; returns the previous one. An empty function restores the
// default, which shows a modal QMessageBox.
MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter presenter);

// Title used when a box has none of its own: the product name.
QString defaultMessageBoxTitle();

} // namespace platform

// Shows a message box and returns the button pressed (vbOK, vbAbort, ...).
int MsgBox(const QString &prompt, int buttons = vbOKOnly, const QString &title = QString());
