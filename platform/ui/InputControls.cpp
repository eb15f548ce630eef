// Text box, combo box, list box and tab strip.
#include "platform/ui/InputControls.h"

#include "platform/ui/Controls.h"

#include <QCompleter>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace ui
{

// --- TextBox

TextBox::TextBox(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setMultiLine(false);
}

QWidget *TextBox::editor() const
{
    return m_multi ? static_cast<QWidget *>(m_multi) : static_cast<QWidget *>(m_single);
}

void TextBox::setMultiLine(bool multiLine)
{
    if (editor() && multiLine == MultiLine())
        return;
    const QString text = m_lastText;
    QWidget *old = editor();
    m_single = nullptr;
    m_multi = nullptr;
    if (multiLine) {
        m_multi = new QPlainTextEdit(this);
        m_multi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_multi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_multi->setLineWrapMode(QPlainTextEdit::NoWrap);
        m_multi->setPlainText(text);
        connect(m_multi, &QPlainTextEdit::textChanged, this, [this] {
            const QString now = m_multi->toPlainText();
            if (now != m_lastText) {
                m_lastText = now;
                emit Change();
            }
        });
    } else {
        m_single = new QLineEdit(this);
        m_single->setText(text);
        connect(m_single, &QLineEdit::textChanged, this, [this](const QString &now) {
            if (now != m_lastText) {
                m_lastText = now;
                emit Change();
            }
        });
    }
    delete old;
    layout()->addWidget(editor());
    editor()->installEventFilter(this);
    setFocusProxy(editor());
    applyEditorSettings();
}

void TextBox::applyEditorSettings()
{
    if (m_single) {
        m_single->setReadOnly(m_locked);
        m_single->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
        m_single->setAlignment(m_alignment == vbRightJustify ? Qt::AlignRight
                               : m_alignment == vbCenter     ? Qt::AlignHCenter
                                                             : Qt::AlignLeft);
    } else {
        m_multi->setReadOnly(m_locked);
    }
}

QString TextBox::Text() const
{
    return m_lastText;
}

void TextBox::setText(const QString &text)
{
    QString t = text;
    if (m_maxLength > 0 && m_single)
        t.truncate(m_maxLength);
    if (m_single)
        m_single->setText(t);
    else
        m_multi->setPlainText(t);
}

void TextBox::setLocked(bool locked)
{
    m_locked = locked;
    applyEditorSettings();
}

void TextBox::setMaxLength(int length)
{
    m_maxLength = std::max(0, length);
    applyEditorSettings();
}

void TextBox::setAlignment(int alignment)
{
    m_alignment = alignment;
    applyEditorSettings();
}

int TextBox::SelStart() const
{
    if (m_single)
        return m_single->hasSelectedText() ? m_single->selectionStart() : m_single->cursorPosition();
    return m_multi->textCursor().selectionStart();
}

void TextBox::setSelStart(int start)
{
    start = std::clamp(start, 0, int(m_lastText.size()));
    if (m_single) {
        m_single->setCursorPosition(start);
    } else {
        QTextCursor c = m_multi->textCursor();
        c.setPosition(start);
        m_multi->setTextCursor(c);
    }
}

int TextBox::SelLength() const
{
    if (m_single)
        return m_single->hasSelectedText() ? int(m_single->selectedText().size()) : 0;
    const QTextCursor c = m_multi->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TextBox::setSelLength(int length)
{
    const int start = SelStart();
    length = std::clamp(length, 0, int(m_lastText.size()) - start);
    if (m_single) {
        m_single->setSelection(start, length);
    } else {
        QTextCursor c = m_multi->textCursor();
        c.setPosition(start);
        c.setPosition(start + length, QTextCursor::KeepAnchor);
        m_multi->setTextCursor(c);
    }
}

QString TextBox::SelText() const
{
    if (m_single)
        return m_single->selectedText();
    return m_multi->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void TextBox::setSelText(const QString &text)
{
    if (m_single)
        m_single->insert(text);
    else
        m_multi->insertPlainText(text);
}

bool TextBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == editor() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        int code = 0;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            code = 13;
            break;
        case Qt::Key_Backspace:
            code = 8;
            break;
        case Qt::Key_Escape:
            code = 27;
            break;
        default:
            if (key->text().size() == 1 && key->text().at(0).unicode() >= 32)
                code = key->text().at(0).unicode();
            break;
        }
        if (code != 0) {
            const int typed = code;
            emit KeyPress(code);
            if (code == 0)
                return true;
            if (code != typed) {
                setSelText(QString(QChar(code)));
                return true;
            }
        }
    } else if (watched == editor() && event->type() == QEvent::MouseButtonRelease) {
        emit Click();
    }
    return QWidget::eventFilter(watched, event);
}

// --- ComboBox

ComboBox::ComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    // The text shown with nothing picked looks like the text of a pick.
    QPalette p = palette();
    p.setColor(QPalette::PlaceholderText, p.color(QPalette::ButtonText));
    setPalette(p);
    connect(this, &QComboBox::activated, this, [this] { emit Click(); });
}

void ComboBox::AddItem(const QString &text, int index)
{
    const int before = currentIndex();
    if (index < 0 || index > count())
        index = count();
    const QSignalBlocker block(this);
    insertItem(index, text);
    if (before < 0)
        setCurrentIndex(-1);
}

void ComboBox::AddItems(const QStringList &texts)
{
    for (const QString &text : texts)
        AddItem(text);
}

void ComboBox::RemoveItem(int index)
{
    if (index >= 0 && index < count())
        removeItem(index);
}

void ComboBox::Clear()
{
    clear();
    m_text.clear();
    setPlaceholderText(QString());
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        return;
    setCurrentIndex(index);
    if (index >= 0)
        emit Click();
}

QString ComboBox::Text() const
{
    if (isEditable())
        return currentText();
    return currentIndex() >= 0 ? currentText() : m_text;
}

void ComboBox::setText(const QString &text)
{
    if (isEditable()) {
        setEditText(text);
        return;
    }
    const int match = findText(text, Qt::MatchFixedString);
    if (match >= 0) {
        setListIndex(match);
        return;
    }
    m_text = text;
    setPlaceholderText(text);
    const QSignalBlocker block(this);
    setCurrentIndex(-1);
}

void ComboBox::setStyle(int style)
{
    const bool editable = style != vbComboDropdownList;
    if (editable == isEditable())
        return;
    const QString text = Text();
    setEditable(editable);
    if (editable) {
        setInsertPolicy(QComboBox::NoInsert);
        // QComboBox picks the entry matching the typed text when the typing is confirmed,
        // the field is left or the completer completes, and reports it as activated. Typed
        // text is only text here: a pick comes from the list, the arrow keys or ListIndex.
        disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
        disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
        if (QCompleter *typingHelp = completer())
            disconnect(typingHelp, nullptr, this, nullptr);
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] { emit Change(); });
        setEditText(text);
    }
}

void ComboBox::showPopup()
{
    if (!m_locked)
        QComboBox::showPopup();
}

void ComboBox::keyPressEvent(QKeyEvent *event)
{
    if (!m_locked)
        QComboBox::keyPressEvent(event);
}

void ComboBox::wheelEvent(QWheelEvent *event)
{
    if (!m_locked)
        QComboBox::wheelEvent(event);
}

// --- ListBox

ListBox::ListBox(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The pick is the selected row. Qt also moves the current row without selecting it (the
    // first row when the list gets the focus); that picks nothing.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        const QModelIndex pick = pickedIndex();
        if (pick == m_lastPick)
            return;
        m_lastPick = pick;
        if (pick.isValid())
            emit Click();
    });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
}

QModelIndex ListBox::pickedIndex() const
{
    const QModelIndexList picked = selectionModel()->selectedIndexes();
    return picked.isEmpty() ? QModelIndex() : picked.first();
}

int ListBox::ListIndex() const
{
    const QModelIndex pick = pickedIndex();
    return pick.isValid() ? pick.row() : -1;
}

void ListBox::AddItem(const QString &text, int index)
{
    if (index < 0 || index > count())
        index = count();
    insertItem(index, text);
}

void ListBox::RemoveItem(int index)
{
    if (index >= 0 && index < count())
        delete takeItem(index);
}

void ListBox::Clear()
{
    clear();
}

void ListBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        return;
    if (index < 0)
        clearSelection();
    setCurrentRow(index);
}

QString ListBox::List(int index) const
{
    const QListWidgetItem *it = item(index);
    return it ? it->text() : QString();
}

void ListBox::setList(int index, const QString &text)
{
    if (QListWidgetItem *it = item(index))
        it->setText(text);
}

QString ListBox::Text() const
{
    return List(ListIndex());
}

// --- TabStrip

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent)
{
    setExpanding(false);
    connect(this, &QTabBar::currentChanged, this, [this] { emit Click(); });
}

int TabStrip::AddTab(const QString &caption)
{
    return addTab(caption) + 1;
}

} // namespace ui
