// A window of its own over a whole screen that borrows a widget (the picture, or a browser's
// view) and, along the bottom edge over it, an optional bar, and gives both back on leaving.
// The owner's window stays as it was underneath, so leaving restores it exactly.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

class QTimer;

namespace ui
{

class FullScreen : public QWidget
{
    Q_OBJECT

public:
    // How long the bar and the pointer stay after the pointer last moved.
    static constexpr int kIdleMs = 3000;

    // The window belongs to `owner` (it goes with it) but is a window of its own.
    explicit FullScreen(QWidget *owner);

    // Shows `content` filling the screen that holds `near`'s window, `bar` (may be null) over
    // its bottom edge; gives the content the keyboard focus.
    void enter(QWidget *content, QWidget *bar, QWidget *near);
    // Hands content and bar back to the parents they had, at the places they had, shown.
    void leave();
    bool active() const { return m_content != nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Borrowed {
        QPointer<QWidget> widget;
        QPointer<QWidget> parent;
        QRect geometry;
        bool mouseTracking = false;
    };
    static Borrowed borrow(QWidget *widget);
    static void giveBack(const Borrowed &borrowed);
    void placeChildren();
    void pointerMoved(const QPoint &global);
    void idle();

    QPointer<QWidget> m_content;
    QPointer<QWidget> m_bar;
    Borrowed m_borrowedContent;
    Borrowed m_borrowedBar;
    QTimer *m_idle;
    QPoint m_lastPointer;
};

} // namespace ui
