#include "platform/ui/MsgBox.h"

#include "platform/core/ProgramEnd.h"
#include "platform/core/VersionInfo.h"
#include "platform/ui/DoEvents.h"

#include <QApplication>
#include <QMessageBox>

namespace platform
{
namespace
{

int showQtBox(const MessageBoxRequest &req)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(req.title);
    // Prompts come from code and from language files: a "<" in them is text, not markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(req.prompt);
    switch (req.buttons & 0xF0) {
    case vbCritical:
        box.setIcon(QMessageBox::Critical);
        break;
    case vbQuestion:
        box.setIcon(QMessageBox::Question);
        break;
    case vbExclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case vbInformation:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    struct Btn {
        QMessageBox::StandardButton qt;
        int vb;
    };
    QList<Btn> buttons;
    switch (req.buttons & 0x0F) {
    case vbOKCancel:
        buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbAbortRetryIgnore:
        buttons = {
            {QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case vbYesNoCancel:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case vbYesNo:
        buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        break;
    case vbRetryCancel:
        buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
        break;
    default:
        buttons = {{QMessageBox::Ok, vbOK}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const Btn &b : buttons)
        set |= b.qt;
    box.setStandardButtons(set);
    box.setDefaultButton(buttons.first().qt);
    const int pressed = box.exec();
    for (const Btn &b : buttons) {
        if (b.qt == pressed)
            return b.vb;
    }
    // Closed with Escape or the title bar: the cancelling button, else the first.
    for (const Btn &b : buttons) {
        if (b.vb == vbCancel || b.vb == vbNo)
            return b.vb;
    }
    return buttons.first().vb;
}

MessageBoxPresenter &presenter()
{
    static MessageBoxPresenter p;
    return p;
}

} // namespace

MessageBoxPresenter setMessageBoxPresenter(MessageBoxPresenter p)
{
    MessageBoxPresenter old = presenter();
    presenter() = std::move(p);
    return old;
}

QString defaultMessageBoxTitle()
{
    return versionInfo().productName;
}

} // namespace platform

int MsgBox(const QString &prompt, int buttons, const QString &title)
{
    if (ui::programEnding()) {
        // Nobody is left to answer: the choice that does nothing.
        switch (buttons & 7) {
        case vbOKOnly:
            return vbOK;
        case vbAbortRetryIgnore:
            return vbAbort;
        case vbYesNo:
            return vbNo;
        default:
            return vbCancel;
        }
    }
    platform::MessageBoxRequest req{prompt, buttons,
                                    title.isEmpty() ? platform::defaultMessageBoxTitle() : title};
    const platform::UnderWay waiting(QStringLiteral("the message box \"") + prompt + QLatin1Char('"'));
    // The box's own loop runs the window's messages: a window unloaded meanwhile outlives it.
    const ui::HandlerWait wait;
    if (platform::presenter())
        return platform::presenter()(req);
    return platform::showQtBox(req);
}
