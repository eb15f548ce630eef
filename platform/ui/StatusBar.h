// The status bar: a row of text panels that keeps itself along the bottom edge of
// its container.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QList>
#include <QPointer>

class QLabel;
class QHBoxLayout;

namespace ui
{

class StatusBar;

class StatusPanel
{
public:
    QString Text() const;
    void setText(const QString &text);
    // Twips.
    int Width() const;
    void setWidth(int twips);
    QString Key() const { return m_key; }
    void setKey(const QString &key) { m_key = key; }
    // Position among the panels, from 1.
    int Index() const;

private:
    friend class StatusBar;
    StatusPanel(StatusBar *bar, QLabel *label) : m_bar(bar), m_label(label) {}

    StatusBar *m_bar;
    QLabel *m_label;
    QString m_key;
    TwipsValue m_width;
};

class StatusBar : public QWidget
{
    Q_OBJECT
    UI_CONTROL("StatusBar")
    Q_PROPERTY(QString SimpleText READ SimpleText WRITE setSimpleText)

public:
    // Starts with one panel, as the original does.
    Q_INVOKABLE explicit StatusBar(QWidget *parent = nullptr);
    ~StatusBar() override;

    // 1-based; nullptr when out of range.
    StatusPanel *Panels(int index) const;
    int PanelCount() const { return int(m_panels.size()); }
    StatusPanel *AddPanel(const QString &text = QString(), int widthTwips = 1440);
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    QString SimpleText() const { return m_simpleText; }
    void setSimpleText(const QString &text) { m_simpleText = text; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class StatusPanel;
    void dock();

    QHBoxLayout *m_layout;
    QList<StatusPanel *> m_panels;
    QString m_simpleText;
    QPointer<QWidget> m_watched;
};

} // namespace ui
