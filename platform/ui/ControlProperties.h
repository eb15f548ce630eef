// The properties every visible control shares (position in twips, visibility,
// colours, tag, font), declared once and pulled into each control class.
#pragma once

#include "platform/ui/Twips.h"

#include <QFont>
#include <QWidget>

namespace ui
{

// Colours are held as 0x00BBGGRR; a value with the high bit set names a system
// colour and restores the style's own colour.
int backColor(const QWidget *w);
void setBackColor(QWidget *w, int color);
int foreColor(const QWidget *w);
void setForeColor(QWidget *w, int color);

// Repaints a control; controls that list something (files, folders) read it again
// through their invokable refreshContents().
void refresh(QWidget *w);

// Moves a control to another container, keeping its position and visibility.
void setContainer(QWidget *control, QWidget *container);

struct TwipsGeometry {
    TwipsValue left, top, width, height;

    int Left(const QWidget *w) const { return left.read(w->x()); }
    int Top(const QWidget *w) const { return top.read(w->y()); }
    int Width(const QWidget *w) const { return width.read(w->width()); }
    int Height(const QWidget *w) const { return height.read(w->height()); }
    void move(QWidget *w, int l, int t, int wd, int h);
};

} // namespace ui

// Declares the shared VB-named properties in a control class (after Q_OBJECT).
#define UI_CONTROL(TYPE_NAME)                                                                                \
    Q_CLASSINFO("TypeName", TYPE_NAME)                                                                       \
    Q_PROPERTY(QString Name READ Name)                                                                       \
    Q_PROPERTY(int Index READ Index)                                                                         \
    Q_PROPERTY(int Left READ Left WRITE setLeft)                                                             \
    Q_PROPERTY(int Top READ Top WRITE setTop)                                                                \
    Q_PROPERTY(int Width READ Width WRITE setWidth)                                                          \
    Q_PROPERTY(int Height READ Height WRITE setHeight)                                                       \
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)                                                   \
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)                                                   \
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)                                    \
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)                                                            \
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)                                              \
    Q_PROPERTY(int ForeColor READ ForeColor WRITE setForeColor)                                              \
    Q_PROPERTY(QFont Font READ font WRITE setFont)                                                           \
    Q_PROPERTY(bool FontBold READ FontBold WRITE setFontBold)                                                \
    Q_PROPERTY(double FontSize READ FontSize WRITE setFontSize)                                              \
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)                                             \
    Q_PROPERTY(QWidget *Container READ Container WRITE setContainer)                                         \
public:                                                                                                      \
    static constexpr const char *TypeName = TYPE_NAME;                                                       \
    QString Name() const                                                                                     \
    {                                                                                                        \
        return objectName();                                                                                 \
    }                                                                                                        \
    int Index() const                                                                                        \
    {                                                                                                        \
        return ui::controlIndex(this);                                                                       \
    }                                                                                                        \
    int Left() const                                                                                         \
    {                                                                                                        \
        return m_geometry.Left(this);                                                                        \
    }                                                                                                        \
    int Top() const                                                                                          \
    {                                                                                                        \
        return m_geometry.Top(this);                                                                         \
    }                                                                                                        \
    int Width() const                                                                                        \
    {                                                                                                        \
        return m_geometry.Width(this);                                                                       \
    }                                                                                                        \
    int Height() const                                                                                       \
    {                                                                                                        \
        return m_geometry.Height(this);                                                                      \
    }                                                                                                        \
    void setLeft(int v)                                                                                      \
    {                                                                                                        \
        m_geometry.move(this, v, Top(), Width(), Height());                                                  \
    }                                                                                                        \
    void setTop(int v)                                                                                       \
    {                                                                                                        \
        m_geometry.move(this, Left(), v, Width(), Height());                                                 \
    }                                                                                                        \
    void setWidth(int v)                                                                                     \
    {                                                                                                        \
        m_geometry.move(this, Left(), Top(), v, Height());                                                   \
    }                                                                                                        \
    void setHeight(int v)                                                                                    \
    {                                                                                                        \
        m_geometry.move(this, Left(), Top(), Width(), v);                                                    \
    }                                                                                                        \
    void Move(int left, int top, int width, int height)                                                      \
    {                                                                                                        \
        m_geometry.move(this, left, top, width, height);                                                     \
    }                                                                                                        \
    void Move(int left, int top)                                                                             \
    {                                                                                                        \
        m_geometry.move(this, left, top, Width(), Height());                                                 \
    }                                                                                                        \
    bool Visible() const                                                                                     \
    {                                                                                                        \
        return !isHidden();                                                                                  \
    }                                                                                                        \
    bool Enabled() const                                                                                     \
    {                                                                                                        \
        return !testAttribute(Qt::WA_ForceDisabled);                                                         \
    }                                                                                                        \
    QString ToolTipText() const                                                                              \
    {                                                                                                        \
        return toolTip();                                                                                    \
    }                                                                                                        \
    void setToolTipText(const QString &s)                                                                    \
    {                                                                                                        \
        setToolTip(s);                                                                                       \
    }                                                                                                        \
    QString Tag() const                                                                                      \
    {                                                                                                        \
        return m_tag;                                                                                        \
    }                                                                                                        \
    void setTag(const QString &s)                                                                            \
    {                                                                                                        \
        m_tag = s;                                                                                           \
    }                                                                                                        \
    int BackColor() const                                                                                    \
    {                                                                                                        \
        return ui::backColor(this);                                                                          \
    }                                                                                                        \
    void setBackColor(int c)                                                                                 \
    {                                                                                                        \
        ui::setBackColor(this, c);                                                                           \
    }                                                                                                        \
    int ForeColor() const                                                                                    \
    {                                                                                                        \
        return ui::foreColor(this);                                                                          \
    }                                                                                                        \
    void setForeColor(int c)                                                                                 \
    {                                                                                                        \
        ui::setForeColor(this, c);                                                                           \
    }                                                                                                        \
    bool FontBold() const                                                                                    \
    {                                                                                                        \
        return font().bold();                                                                                \
    }                                                                                                        \
    void setFontBold(bool b)                                                                                 \
    {                                                                                                        \
        QFont f = font();                                                                                    \
        f.setBold(b);                                                                                        \
        setFont(f);                                                                                          \
    }                                                                                                        \
    double FontSize() const                                                                                  \
    {                                                                                                        \
        return font().pointSizeF();                                                                          \
    }                                                                                                        \
    void setFontSize(double s)                                                                               \
    {                                                                                                        \
        QFont f = font();                                                                                    \
        if (s > 0)                                                                                           \
            f.setPointSizeF(s);                                                                              \
        setFont(f);                                                                                          \
    }                                                                                                        \
    QString FontName() const                                                                                 \
    {                                                                                                        \
        return font().family();                                                                              \
    }                                                                                                        \
    void setFontName(const QString &n)                                                                       \
    {                                                                                                        \
        QFont f = font();                                                                                    \
        f.setFamily(n);                                                                                      \
        setFont(f);                                                                                          \
    }                                                                                                        \
    QWidget *Container() const                                                                               \
    {                                                                                                        \
        return parentWidget();                                                                               \
    }                                                                                                        \
    void setContainer(QWidget *c)                                                                            \
    {                                                                                                        \
        ui::setContainer(this, c);                                                                           \
    }                                                                                                        \
    void SetFocus()                                                                                          \
    {                                                                                                        \
        setFocus(Qt::OtherFocusReason);                                                                      \
    }                                                                                                        \
    void ZOrder(int position = 0)                                                                            \
    {                                                                                                        \
        position == 0 ? raise() : lower();                                                                   \
    }                                                                                                        \
    Q_SLOT void Refresh()                                                                                    \
    {                                                                                                        \
        ui::refresh(this);                                                                                   \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    ui::TwipsGeometry m_geometry;                                                                            \
    QString m_tag;
