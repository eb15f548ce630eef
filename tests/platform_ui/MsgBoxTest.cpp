// The message box the program shows when no presenter stands in for it.
#include "platform/ui/MsgBox.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MsgBoxTest, PromptIsShownAsPlainText)
{
    const QString prompt = QStringLiteral("<b>Not bold</b> & <i>not italic</i><br>one line");
    QString shown;
    int format = -1;
    // The box is modal: look at it once it is up, then answer it.
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        shown = label->text();
        format = int(label->textFormat());
        box->accept();
    });
    MsgBox(prompt, vbOKOnly, QStringLiteral("Title"));
    EXPECT_EQ(shown, prompt);
    EXPECT_EQ(format, int(Qt::PlainText));
}
