// Controls the user types or picks in: text box, combo box, list box and tab strip.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QComboBox>
#include <QListWidget>
#include <QTabBar>

class QLineEdit;
class QPlainTextEdit;

namespace ui
{

class TextBox : public QWidget
{
    Q_OBJECT
    UI_CONTROL("TextBox")
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(bool MultiLine READ MultiLine WRITE setMultiLine)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(int SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(int SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)

public:
    Q_INVOKABLE explicit TextBox(QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);
    // Multi-line with both scroll bars; switching keeps the text.
    bool MultiLine() const { return m_multi != nullptr; }
    void setMultiLine(bool multiLine);
    bool Locked() const { return m_locked; }
    void setLocked(bool locked);
    // 0 = no limit.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length);
    int Alignment() const { return m_alignment; }
    void setAlignment(int alignment);
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);

    QWidget *editor() const;

signals:
    // Every change of Text, programmatic ones included.
    void Change();
    // A typed character (13 for Enter, 8 for Backspace, 27 for Escape) before it is entered.
    // Setting KeyAscii to 0 swallows it; another code enters that character instead.
    void KeyPress(int &KeyAscii);
    void Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyEditorSettings();
    QLineEdit *m_single = nullptr;
    QPlainTextEdit *m_multi = nullptr;
    QString m_lastText;
    bool m_locked = false;
    int m_maxLength = 0;
    int m_alignment = 0;
};

class ComboBox : public QComboBox
{
    Q_OBJECT
    UI_CONTROL("ComboBox")
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int ListCount READ ListCount)
    Q_PROPERTY(int Style READ Style WRITE setStyle)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)

public:
    // 0 = drop-down combo (the text can be typed), 2 = drop-down list (pick only).
    enum { vbComboDropdown = 0, vbComboDropdownList = 2 };

    Q_INVOKABLE explicit ComboBox(QWidget *parent = nullptr);

    // Adding items never changes the pick (ListIndex stays -1 until something is picked).
    void AddItem(const QString &text, int index = -1);
    // The design list: each text added at the end, in order.
    void AddItems(const QStringList &texts);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const { return count(); }
    int ListIndex() const { return currentIndex(); }
    // Picks an item (-1 = none) and fires Click, as the original does.
    void setListIndex(int index);
    QString List(int index) const { return itemText(index); }
    void setList(int index, const QString &text) { setItemText(index, text); }
    // The picked item's text; with nothing picked, the text set last (shown greyed in a
    // drop-down list). Setting the text of a list picks the first item that matches,
    // ignoring case.
    QString Text() const;
    void setText(const QString &text);
    int Style() const { return isEditable() ? vbComboDropdown : vbComboDropdownList; }
    void setStyle(int style);
    bool Locked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }

signals:
    // A pick from the list (mouse, arrow keys) or ListIndex set by code; never typed text.
    void Click();
    // The typed text of a drop-down combo changed.
    void Change();

protected:
    void showPopup() override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QString m_text;
    bool m_locked = false;
};

class ListBox : public QListWidget
{
    Q_OBJECT
    UI_CONTROL("ListBox")
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(int ListCount READ ListCount)

public:
    Q_INVOKABLE explicit ListBox(QWidget *parent = nullptr);

    void AddItem(const QString &text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int ListCount() const { return count(); }
    // The selected row, -1 with none.
    int ListIndex() const;
    // Fires Click when the pick changes, as the original does.
    void setListIndex(int index);
    QString List(int index) const;
    void setList(int index, const QString &text);
    // Text of the picked entry; empty with nothing picked.
    QString Text() const;

signals:
    // A changed pick, by the user or by ListIndex set in code.
    void Click();
    void DblClick();

private:
    QModelIndex pickedIndex() const;
    // Follows the picked entry when rows are added or removed before it.
    QPersistentModelIndex m_lastPick;
};

// Tabs are numbered from 1.
class TabStrip : public QTabBar
{
    Q_OBJECT
    UI_CONTROL("TabStrip")
    Q_PROPERTY(int SelectedIndex READ SelectedIndex WRITE setSelectedIndex)

public:
    Q_INVOKABLE explicit TabStrip(QWidget *parent = nullptr);

    int AddTab(const QString &caption);
    int TabCount() const { return count(); }
    QString TabCaption(int i) const { return tabText(i - 1); }
    void setTabCaption(int i, const QString &caption) { setTabText(i - 1, caption); }
    int SelectedIndex() const { return currentIndex() + 1; }
    void setSelectedIndex(int i) { setCurrentIndex(i - 1); }

signals:
    void Click();
};

} // namespace ui
