// Standard controls: the VB-named properties and events that the windows rely on.
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace ui;

TEST(ControlPropertiesTest, ColoursAreBgrNumbersOnTheRightPaletteRoles)
{
    CommandButton button;
    button.setBackColor(0x0000FF); // red
    EXPECT_EQ(button.BackColor(), 0x0000FF);
    EXPECT_EQ(button.palette().color(QPalette::Button), QColor(255, 0, 0));
    TextBox text;
    text.setProperty("ForeColor", 0x00FF00);
    EXPECT_EQ(text.ForeColor(), 0x00FF00);
    EXPECT_EQ(text.editor()->palette().color(QPalette::Text), QColor(0, 255, 0));
}

TEST(ControlPropertiesTest, GenericPropertiesAreReachableByName)
{
    Label label;
    EXPECT_TRUE(label.setProperty("Caption", QStringLiteral("Type:")));
    EXPECT_EQ(label.text(), QStringLiteral("Type:"));
    EXPECT_TRUE(label.setProperty("Tag", QStringLiteral("x")));
    EXPECT_EQ(label.property("Tag").toString(), QStringLiteral("x"));
    EXPECT_TRUE(label.setProperty("FontBold", true));
    EXPECT_TRUE(label.font().bold());
    EXPECT_TRUE(label.setProperty("ToolTipText", QStringLiteral("tip")));
    EXPECT_EQ(label.toolTip(), QStringLiteral("tip"));
    EXPECT_EQ(label.property("Index").toInt(), -1);
    EXPECT_TRUE(QMetaObject::invokeMethod(&label, "Refresh"));
    SkinLabel skin;
    EXPECT_EQ(typeName(&skin), QStringLiteral("SkinLabel"));
    EXPECT_TRUE(skin.setProperty("Caption", QStringLiteral("Windowed Label")));
    EXPECT_EQ(skin.Caption(), QStringLiteral("Windowed Label"));
}

TEST(ControlPropertiesTest, ContainerMovesAControlKeepingItsPlace)
{
    QWidget outer;
    PictureBox box(&outer);
    Label label(&outer);
    label.Move(300, 150, 600, 300);
    label.setContainer(&box);
    EXPECT_EQ(label.parentWidget(), &box);
    EXPECT_EQ(label.Left(), 300);
    EXPECT_FALSE(label.isHidden());
}

TEST(TextBoxTest, ChangeFiresForEveryRealChangeIncludingCode)
{
    TextBox box;
    QSignalSpy changes(&box, &TextBox::Change);
    box.setText(QStringLiteral("Downloaded 256 bytes."));
    box.setProperty("Text", QStringLiteral("Downloaded 512 bytes."));
    box.setText(QStringLiteral("Downloaded 512 bytes.")); // same text: no change
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(box.Text(), QStringLiteral("Downloaded 512 bytes."));

    box.setMultiLine(true);
    EXPECT_EQ(box.Text(), QStringLiteral("Downloaded 512 bytes."));
    box.setText(QStringLiteral("line1\nline2"));
    EXPECT_EQ(changes.count(), 3);
    EXPECT_EQ(box.Text(), QStringLiteral("line1\nline2"));
}

TEST(TextBoxTest, KeyPressSeesEnterAndCanSwallowOrReplaceKeys)
{
    TextBox box;
    box.show();
    QList<int> seen;
    QObject::connect(&box, &TextBox::KeyPress, [&](int &key) {
        seen.append(key);
        if (key == 'x')
            key = 0;
        else if (key == 'a')
            key = 'A';
    });
    QTest::keyClicks(box.editor(), QStringLiteral("bxa"));
    QTest::keyClick(box.editor(), Qt::Key_Return);
    EXPECT_EQ(seen, (QList<int>{'b', 'x', 'a', 13}));
    EXPECT_EQ(box.Text(), QStringLiteral("bA"));
}

TEST(TextBoxTest, SelectionAndLimits)
{
    TextBox box;
    box.setText(QStringLiteral("enter search query"));
    box.setSelStart(6);
    box.setSelLength(6);
    EXPECT_EQ(box.SelText(), QStringLiteral("search"));
    box.setSelText(QStringLiteral("find"));
    EXPECT_EQ(box.Text(), QStringLiteral("enter find query"));
    box.setMaxLength(5);
    box.setText(QStringLiteral("123456789"));
    EXPECT_EQ(box.Text(), QStringLiteral("12345"));
    box.setLocked(true);
    EXPECT_TRUE(qobject_cast<QLineEdit *>(box.editor())->isReadOnly());
}

TEST(ComboBoxTest, AddingItemsNeverPicksOneAndTheDesignTextStays)
{
    ComboBox combo;
    QSignalSpy clicks(&combo, &ComboBox::Click);
    combo.setText(QStringLiteral("Rating"));
    combo.AddItems({QStringLiteral("Channel"), QStringLiteral("Category"), QStringLiteral("Type")});
    combo.AddItems({QStringLiteral("Rating"), QStringLiteral("Favorites")});
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(combo.Text(), QStringLiteral("Rating"));
    EXPECT_EQ(combo.ListCount(), 5);
    EXPECT_EQ(combo.List(3), QStringLiteral("Rating"));
    EXPECT_EQ(clicks.count(), 0);

    combo.setText(QStringLiteral("type")); // a list picks the matching entry
    EXPECT_EQ(combo.ListIndex(), 2);
    EXPECT_EQ(combo.Text(), QStringLiteral("Type"));
    EXPECT_EQ(clicks.count(), 1);

    combo.setListIndex(4);
    EXPECT_EQ(combo.Text(), QStringLiteral("Favorites"));
    EXPECT_EQ(combo.List(0), QStringLiteral("Channel"));
    EXPECT_EQ(clicks.count(), 2);

    combo.Clear();
    EXPECT_EQ(combo.ListCount(), 0);
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(combo.Text(), QString());
}

TEST(ComboBoxTest, AUserPickRaisesClick)
{
    ComboBox combo;
    combo.AddItem(QStringLiteral("USA"));
    combo.AddItem(QStringLiteral("Germany"));
    QSignalSpy clicks(&combo, &ComboBox::Click);
    emit combo.activated(1);
    EXPECT_EQ(clicks.count(), 1);
}

namespace
{

void sendKey(QWidget *to, int key, const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(to, &release);
}

// Letters only, with their key codes, as the completer needs them.
void typeInto(QWidget *to, const QString &text)
{
    for (const QChar c : text)
        sendKey(to, Qt::Key_A + (c.toUpper().unicode() - 'A'), QString(c));
}

} // namespace

// Typed text of a drop-down combo is only text: however it is confirmed or completed, it
// never becomes a pick, which would act as if the user had chosen from the list.
TEST(ComboBoxTest, TypedTextNeverPicksAnEntry)
{
    // Shown and focused, so that the completer completes as the user types.
    QWidget window;
    auto &combo = *new ComboBox(&window);
    combo.setStyle(ComboBox::vbComboDropdown);
    combo.AddItem(QStringLiteral("English"));
    combo.AddItem(QStringLiteral("Deutsch"));
    window.show();
    QApplication::setActiveWindow(&window);
    combo.setFocus();
    QLineEdit *edit = combo.lineEdit();
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->hasFocus());
    QSignalSpy clicks(&combo, &ComboBox::Click);
    QSignalSpy changes(&combo, &ComboBox::Change);

    typeInto(edit, QStringLiteral("deutsch"));
    sendKey(edit, Qt::Key_Return);
    EXPECT_EQ(combo.Text(), QStringLiteral("deutsch"));
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(changes.count(), 7);

    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &leave);
    EXPECT_EQ(combo.ListIndex(), -1);
    QFocusEvent back(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &back);

    // The completer finishes a beginning; confirming the completed name is still typing.
    edit->clear();
    typeInto(edit, QStringLiteral("eng"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("lish"));
    sendKey(edit, Qt::Key_Return);
    EXPECT_EQ(combo.Text(), QStringLiteral("English"));
    QCoreApplication::sendEvent(edit, &leave);
    QCoreApplication::processEvents();
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(clicks.count(), 0);

    // Typing after a pick leaves the pick alone and raises no Click either.
    combo.setListIndex(0);
    EXPECT_EQ(clicks.count(), 1);
    edit->clear();
    typeInto(edit, QStringLiteral("Deutsch"));
    sendKey(edit, Qt::Key_Return);
    EXPECT_EQ(combo.ListIndex(), 0);
    EXPECT_EQ(combo.Text(), QStringLiteral("Deutsch"));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ComboBoxTest, ArrowKeysAndListPicksRaiseClickInADropDownCombo)
{
    ComboBox combo;
    combo.setStyle(ComboBox::vbComboDropdown);
    combo.AddItem(QStringLiteral("English"));
    combo.AddItem(QStringLiteral("Deutsch"));
    QSignalSpy clicks(&combo, &ComboBox::Click);
    sendKey(combo.lineEdit(), Qt::Key_Down);
    EXPECT_EQ(combo.ListIndex(), 0);
    sendKey(combo.lineEdit(), Qt::Key_Down);
    EXPECT_EQ(combo.ListIndex(), 1);
    EXPECT_EQ(combo.Text(), QStringLiteral("Deutsch"));
    EXPECT_EQ(clicks.count(), 2);
    emit combo.activated(0);
    EXPECT_EQ(clicks.count(), 3);
}

TEST(ListBoxTest, ListIndexTextAndClicks)
{
    ListBox list;
    QSignalSpy clicks(&list, &ListBox::Click);
    list.AddItem(QStringLiteral("http://a/1.asx"));
    list.AddItem(QStringLiteral("http://a/0.wmv"), 0);
    EXPECT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.Text(), QString());
    list.setListIndex(1);
    EXPECT_EQ(list.Text(), QStringLiteral("http://a/1.asx"));
    EXPECT_EQ(clicks.count(), 1);
    list.RemoveItem(0);
    EXPECT_EQ(list.List(0), QStringLiteral("http://a/1.asx"));
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
}

// Qt makes the first row current when the list gets the focus; that is no pick.
TEST(ListBoxTest, TabbingIntoTheListPicksNothing)
{
    QWidget window;
    auto *before = new QLineEdit(&window);
    auto *list = new ListBox(&window);
    list->move(0, 40);
    list->AddItem(QStringLiteral("http://a/0.asx"));
    list->AddItem(QStringLiteral("http://a/1.asx"));
    window.show();
    QApplication::setActiveWindow(&window);
    before->setFocus();
    QSignalSpy clicks(list, &ListBox::Click);

    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(list->hasFocus());
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_EQ(list->Text(), QString());

    // A pick with the keyboard is a Click.
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(list->Text(), list->List(list->ListIndex()));
    EXPECT_GE(list->ListIndex(), 0);

    // So is one with the mouse, after the focus moved away and back.
    before->setFocus();
    const QRect row = list->visualItemRect(list->item(1 - list->ListIndex()));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(clicks.count(), 2);
}

TEST(CheckAndOptionTest, ValuesAndClicks)
{
    CheckBox check;
    QSignalSpy checkClicks(&check, &CheckBox::Click);
    check.setValue(vbChecked);
    EXPECT_EQ(check.Value(), vbChecked);
    check.setProperty("Value", vbGrayed);
    EXPECT_EQ(check.Value(), vbGrayed);
    check.setValue(vbUnchecked);
    EXPECT_EQ(checkClicks.count(), 3);

    QWidget group;
    OptionButton a(&group), b(&group);
    QSignalSpy bClicks(&b, &OptionButton::Click);
    a.setValue(true);
    b.setValue(true);
    EXPECT_FALSE(a.Value());
    EXPECT_TRUE(b.Value());
    EXPECT_EQ(bClicks.count(), 1);
}

TEST(TabStripTest, TabsAreOneBased)
{
    TabStrip tabs;
    tabs.AddTab(QStringLiteral("General"));
    EXPECT_EQ(tabs.AddTab(QStringLiteral("Advanced")), 2);
    EXPECT_EQ(tabs.TabCount(), 2);
    tabs.setTabCaption(2, QStringLiteral("Erweitert"));
    EXPECT_EQ(tabs.TabCaption(2), QStringLiteral("Erweitert"));
    EXPECT_EQ(tabs.TabCaption(1), QStringLiteral("General"));
}

TEST(TimerTest, TicksOnlyWhileEnabledWithAnInterval)
{
    TimerControl timer;
    QSignalSpy ticks(&timer, &TimerControl::Timer);
    timer.setEnabled(false);
    timer.setInterval(2);
    QTest::qWait(30);
    EXPECT_EQ(ticks.count(), 0);
    timer.setEnabled(true);
    EXPECT_TRUE(ticks.wait(500));
    timer.setInterval(0);
    const int count = ticks.count();
    QTest::qWait(30);
    EXPECT_EQ(ticks.count(), count);
}

TEST(StatusBarTest, PanelsAndDockingAlongTheBottom)
{
    QWidget other; // outlives the bar, which ends up inside it
    QWidget client;
    client.resize(1016, 675);
    StatusBar bar(&client);
    bar.Move(0, 9810, 15240, 315);
    EXPECT_EQ(bar.PanelCount(), 1);
    bar.setPanelText(1, QStringLiteral("Total Channels: 3"));
    EXPECT_EQ(bar.Panels(1)->Text(), QStringLiteral("Total Channels: 3"));
    EXPECT_EQ(bar.panelText(2), QString());
    EXPECT_EQ(bar.Panels(0), nullptr);
    bar.Panels(1)->setWidth(15360);
    EXPECT_EQ(bar.Panels(1)->Width(), 15360);

    client.show();
    client.resize(800, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.geometry(), QRect(0, 500 - bar.height(), 800, bar.height()));

    other.resize(300, 200);
    bar.setContainer(&other);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.geometry(), QRect(0, 200 - bar.height(), 300, bar.height()));
}

TEST(ImageAndLineTest, PicturesLoadAndLinesRunBetweenTheirPoints)
{
    QTemporaryDir dir;
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString path = dir.filePath(QStringLiteral("offline.png"));
    ASSERT_TRUE(img.save(path));
    Image image;
    image.setPicture(path);
    EXPECT_TRUE(image.hasPicture());
    EXPECT_EQ(image.Picture(), path);
    image.setPicture(QString());
    EXPECT_FALSE(image.hasPicture());

    QWidget box;
    Line line(&box);
    line.Move(150, 300, 0, 600);
    EXPECT_EQ(line.X1(), 150);
    EXPECT_EQ(line.Y2(), 900);
    line.setPoints(600, 150, 0, 150);
    EXPECT_EQ(line.Left(), 0);
    EXPECT_EQ(line.X1(), 600);
    EXPECT_GT(line.height(), 0); // a horizontal line still has room to paint
}
