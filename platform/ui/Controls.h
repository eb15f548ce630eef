// The standard controls of a window: buttons, labels, frames, pictures, lines and
// timers. Including this header brings in every control of the window runtime.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace ui
{

// Alignment values of labels and text boxes.
enum { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
// Check box values.
enum { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

class CommandButton : public QPushButton
{
    Q_OBJECT
    UI_CONTROL("CommandButton")
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Value READ Value WRITE setValue)
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)

public:
    Q_INVOKABLE explicit CommandButton(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    // Setting Value to true clicks the button, as the system's code does to run its handler.
    bool Value() const { return false; }
    void setValue(bool value);
    // A picture shown with the caption; a path or a ":/" resource; an empty path removes it.
    void setPicture(const QIcon &picture);
    void setPicture(const QString &pathOrResource);

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
};

class Label : public QLabel
{
    Q_OBJECT
    UI_CONTROL("Label")
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)

public:
    Q_INVOKABLE explicit Label(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);
    int Alignment() const;
    void setAlignment(int alignment);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    // 0 transparent, 1 opaque.
    int BackStyle() const { return autoFillBackground() ? 1 : 0; }
    void setBackStyle(int style) { setAutoFillBackground(style != 0); }

    // For a caption whose words are spaced out with runs of blanks to peek out between the
    // controls placed over the label: each word is drawn in the next stretch those controls
    // leave free, smaller when it would not fit. Blanks measured in the designer's font put
    // the words under the controls in any wider font.
    void setWordsBetweenCovers(bool on);

signals:
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // Left and right edge (exclusive) of each stretch no sibling stacked above covers.
    QList<QPair<int, int>> uncoveredStretches() const;
    // The caption as one text, smaller when it would not fit the label.
    void paintCaption(QPaintEvent *event);

    bool m_autoSize = false;
    bool m_wordsBetweenCovers = false;
};

// The skin library's label: in this build a plain label under its own type name.
class SkinLabel : public Label
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "SkinLabel")

public:
    static constexpr const char *TypeName = "SkinLabel";
    Q_INVOKABLE explicit SkinLabel(QWidget *parent = nullptr) : Label(parent) {}
};

class CheckBox : public QCheckBox
{
    Q_OBJECT
    UI_CONTROL("CheckBox")
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    Q_INVOKABLE explicit CheckBox(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    // vbUnchecked, vbChecked or vbGrayed.
    int Value() const;
    void setValue(int value);

signals:
    // Every change of Value, by the user or by code.
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
};

class OptionButton : public QRadioButton
{
    Q_OBJECT
    UI_CONTROL("OptionButton")
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Value READ Value WRITE setValue)

public:
    Q_INVOKABLE explicit OptionButton(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    bool Value() const { return isChecked(); }
    void setValue(bool value) { setChecked(value); }

signals:
    // The button became the chosen one.
    void Click();
};

// A titled container; controls inside it are positioned relative to its top-left corner.
// The title sits on the top border line, which it interrupts.
class Frame : public QGroupBox
{
    Q_OBJECT
    UI_CONTROL("Frame")
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)

public:
    Q_INVOKABLE explicit Frame(QWidget *parent = nullptr);

    QString Caption() const { return title(); }
    void setCaption(const QString &caption) { setTitle(caption); }
    int BorderStyle() const { return isFlat() ? 0 : 1; }
    void setBorderStyle(int style) { setFlat(style == 0); }

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A container that can also show a picture.
class PictureBox : public QFrame
{
    Q_OBJECT
    UI_CONTROL("PictureBox")
    Q_PROPERTY(QString Picture READ Picture WRITE setPicture)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE setAutoRedraw)

public:
    Q_INVOKABLE explicit PictureBox(QWidget *parent = nullptr);

    QString Picture() const { return m_picturePath; }
    void setPicture(const QString &pathOrResource);
    // 0 none, 1 fixed single.
    int BorderStyle() const { return frameShape() == QFrame::NoFrame ? 0 : 1; }
    void setBorderStyle(int style);
    bool AutoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on) { m_autoRedraw = on; }

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_picturePath;
    QPixmap m_picture;
    bool m_autoRedraw = false;
};

class Image : public QLabel
{
    Q_OBJECT
    UI_CONTROL("Image")
    Q_PROPERTY(QString Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool Stretch READ Stretch WRITE setStretch)

public:
    Q_INVOKABLE explicit Image(QWidget *parent = nullptr);

    QString Picture() const { return m_picturePath; }
    // A file path or a ":/" resource; an empty path clears the picture.
    void setPicture(const QString &pathOrResource);
    bool Stretch() const { return hasScaledContents(); }
    void setStretch(bool stretch) { setScaledContents(stretch); }
    bool hasPicture() const { return !pixmap().isNull(); }

signals:
    void Click();
    void DblClick();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString m_picturePath;
};

// A line from (X1, Y1) to (X2, Y2), twips in its container. Placed with addControl, it runs
// from the top-left to the bottom-right corner of that rectangle until points are set.
class Line : public QWidget
{
    Q_OBJECT
    UI_CONTROL("Line")
    Q_PROPERTY(int X1 READ X1 WRITE setX1)
    Q_PROPERTY(int Y1 READ Y1 WRITE setY1)
    Q_PROPERTY(int X2 READ X2 WRITE setX2)
    Q_PROPERTY(int Y2 READ Y2 WRITE setY2)
    Q_PROPERTY(int BorderColor READ BorderColor WRITE setBorderColor)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE setBorderWidth)

public:
    Q_INVOKABLE explicit Line(QWidget *parent = nullptr);

    int X1() const;
    int Y1() const;
    int X2() const;
    int Y2() const;
    void setX1(int twips);
    void setY1(int twips);
    void setX2(int twips);
    void setY2(int twips);
    void setPoints(int x1, int y1, int x2, int y2);
    int BorderColor() const { return m_color; }
    void setBorderColor(int color);
    int BorderWidth() const { return m_width; }
    void setBorderWidth(int pixels);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    bool m_pointsSet = false;
    int m_color = 0;
    int m_width = 1;
};

// Fires Timer() every Interval milliseconds while Enabled and Interval > 0.
// The class is ui::TimerControl (a member cannot share its class's name); ui::Timer names it
// too. Connect with &ui::TimerControl::Timer.
class TimerControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "Timer")
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(int Index READ Index)
    Q_PROPERTY(int Interval READ Interval WRITE setInterval)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)

public:
    static constexpr const char *TypeName = "Timer";
    Q_INVOKABLE explicit TimerControl(QObject *parent = nullptr);

    QString Name() const { return objectName(); }
    int Index() const { return controlIndex(this); }
    int Interval() const { return m_interval; }
    void setInterval(int ms);
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

signals:
    void Timer();

private:
    void restart();
    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = true;
    QString m_tag;
};

using Timer = TimerControl;

} // namespace ui

#include "platform/ui/FileLists.h"
#include "platform/ui/InputControls.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Skin.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/WebBrowser.h"
#include "platform/ui/player/MediaPlayer.h"
