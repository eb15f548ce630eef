// A window of the program: a main window whose client area holds the controls at
// absolute twips positions, in design order, with the event hooks windows override.
#pragma once

#include "platform/ui/Twips.h"

#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <type_traits>

namespace ui
{

class Menu;

class Form : public QMainWindow
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "Form")
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(int ScaleWidth READ ScaleWidth)
    Q_PROPERTY(int ScaleHeight READ ScaleHeight)
    Q_PROPERTY(int ScaleMode READ ScaleMode WRITE setScaleMode)
    Q_PROPERTY(int WindowState READ WindowState WRITE setWindowState)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QIcon Icon READ Icon WRITE setIcon)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)

public:
    // Window states, as the system compares them.
    enum { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
    // Why a window unloads (Form_QueryUnload's UnloadMode).
    enum { vbFormControlMenu = 0, vbFormCode = 1, vbAppWindows = 2, vbAppTaskManager = 3 };
    // Scale modes; positions are always held in twips, the mode is only reported.
    enum { vbTwips = 1, vbPixels = 3 };
    // The outer frame that Width and Height count, whatever frame the window manager draws:
    // one client size gives one layout, framed or not, maximised or restored.
    static constexpr int DesignFrameWidth = 120;
    static constexpr int DesignFrameHeight = 975;

    explicit Form(const QString &name, QWidget *parent = nullptr);
    ~Form() override;

    QString Name() const { return objectName(); }
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }

    // Central widget; controls placed directly on the window are its children.
    QWidget *client() const { return m_client; }

    // Outer geometry in twips: Left and Top where the frame is on screen, Width and Height the
    // client with the design frame around it.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top, int width, int height);
    void Move(int left, int top);
    // Client area in twips.
    int ScaleWidth() const;
    int ScaleHeight() const;
    int ScaleMode() const { return m_scaleMode; }
    void setScaleMode(int mode) { m_scaleMode = mode; }

    int WindowState() const;
    void setWindowState(int state);
    bool Visible() const { return isVisible(); }
    bool Enabled() const { return isEnabled(); }
    QIcon Icon() const { return windowIcon(); }
    void setIcon(const QIcon &icon) { setWindowIcon(icon); }
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    int BackColor() const;
    void setBackColor(int color);

    // Shows the window; a modal show returns when the window is hidden or unloaded.
    void Show(bool modal = false);
    void Hide();

    // Enter that no control takes presses the window's Default command button; Escape, once
    // set, does what the close box does.
    void setClosesOnEscape(bool on) { m_closesOnEscape = on; }

    // Creates a control in design order. container nullptr = the client area;
    // index >= 0 makes the control an element of a control array.
    template <class T>
    T *addControl(const QString &name, QWidget *container, int left, int top, int width, int height,
                  int index = -1)
    {
        T *control;
        if constexpr (std::is_base_of_v<QWidget, T>) {
            control = new T(container ? container : m_client);
            control->Move(left, top, width, height);
            control->show();
        } else {
            Q_UNUSED(container);
            Q_UNUSED(left);
            Q_UNUSED(top);
            Q_UNUSED(width);
            Q_UNUSED(height);
            control = new T(this);
        }
        registerControl(control, name, index);
        return control;
    }

    // A menu item; parent nullptr = a top-level menu on the menu bar; caption "-" = separator.
    Menu *addMenu(const QString &name, const QString &caption, Menu *parent = nullptr, int index = -1);

    // Loads a new element of a control array at run time: same type and container as the
    // array's lowest element, its properties copied, hidden. nullptr when the array does not
    // exist or the index is taken.
    QObject *loadControl(const QString &name, int index);
    // Removes an element loaded at run time; false for design-time elements and unknown ones.
    bool unloadControl(const QString &name, int index);

    QObject *control(const QString &name, int index = -1) const;
    QList<QObject *> controls() const;
    QList<QObject *> controlArray(const QString &name) const;
    // Highest index of a control array; -1 when there is none.
    int upperBound(const QString &name) const;

    // Event hooks of the window; empty by default.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_QueryUnload(int &Cancel, int UnloadMode)
    {
        Q_UNUSED(Cancel);
        Q_UNUSED(UnloadMode);
    }
    virtual void Form_Unload(int &Cancel) { Q_UNUSED(Cancel); }

signals:
    void hidden();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    friend class Forms;
    void registerControl(QObject *control, const QString &name, int index);
    // Runs the unload hooks; false when one of them cancels.
    bool runUnloadHooks(int unloadMode);
    QSize frameTwips() const;
    int menuBarPixels() const;
    void applyClientSize();
    void bringToFront();

    QWidget *m_client;
    QList<QPointer<QObject>> m_controls;
    QList<QPointer<QObject>> m_loadedAtRunTime;
    TwipsValue m_left, m_top, m_clientWidth, m_clientHeight;
    int m_scaleMode = vbTwips;
    QString m_tag;
    bool m_unloading = false;
    bool m_placedOnce = false;
    bool m_closesOnEscape = false;
};

} // namespace ui
