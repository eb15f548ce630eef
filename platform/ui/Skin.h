// Stand-ins for the skin library the program can host: the skin control and its
// auxiliary object. Skinning stays off in this build (the brand switch), so they dress
// nothing; they keep the colours and calls the program relies on.
#pragma once

#include "platform/ui/ControlProperties.h"

#include <QList>
#include <QObject>
#include <QPointer>

namespace ui
{

class Skin : public QWidget
{
    Q_OBJECT
    UI_CONTROL("Skin")
    Q_PROPERTY(int controlBackColor READ controlBackColor WRITE setControlBackColor)
    Q_PROPERTY(int controlForeColor READ controlForeColor WRITE setControlForeColor)
    Q_PROPERTY(int pictureBackColor READ pictureBackColor WRITE setPictureBackColor)

public:
    // Invisible at run time, like the original.
    Q_INVOKABLE explicit Skin(QWidget *parent = nullptr);

    // Colours as 0x00BBGGRR.
    int controlBackColor() const { return m_controlBack; }
    void setControlBackColor(int color) { m_controlBack = color; }
    int controlForeColor() const { return m_controlFore; }
    void setControlForeColor(int color) { m_controlFore = color; }
    int pictureBackColor() const { return m_pictureBack; }
    void setPictureBackColor(int color) { m_pictureBack = color; }

    // Skins a window; this stand-in only remembers which windows it was given.
    Q_INVOKABLE void applySkin(QWidget *window);
    QList<QWidget *> skinnedWindows() const;

    // The object-valued property handed to the auxiliary object.
    QObject *skinSource() const { return m_source; }

private:
    int m_controlBack = 0x00E8D8C8;
    int m_controlFore = 0x00402010;
    int m_pictureBack = 0x00D0B8A0;
    QObject *m_source;
    QList<QPointer<QWidget>> m_skinned;
};

// The library's auxiliary object: three calls whose effect is the library's own.
class SkinHelper : public QObject
{
    Q_OBJECT

public:
    explicit SkinHelper(QObject *parent = nullptr) : QObject(parent) {}

    // First call: hands over the skin control's source object.
    Q_INVOKABLE void attach(QObject *skinSource);
    // Second call: extends the skin to the process's other windows.
    Q_INVOKABLE void activate();
    // Third call: refreshes window regions on newer systems.
    Q_INVOKABLE void refreshRegions();

    // The calls made so far, in order ("attach", "activate", "refreshRegions").
    QStringList calls() const { return m_calls; }
    QObject *attachedSource() const { return m_source; }

private:
    QStringList m_calls;
    QPointer<QObject> m_source;
};

} // namespace ui
