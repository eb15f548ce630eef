// Twips, the unit every window and control position is held in, and the
// lookups that the generic control walkers (translation, skinning) rely on.
#pragma once

#include <QString>
#include <climits>

class QObject;

namespace ui
{

constexpr int TwipsPerPixel = 15;

int toPixels(int twips);
int toTwips(int pixels);

// The system's type name of a control ("CommandButton", "ListView", "Menu", ...).
QString typeName(const QObject *control);

// Index of a control-array element; -1 when the control is not part of an array.
int controlIndex(const QObject *control);

// Keeps the exact twips a caller set, as long as the widget still sits on the pixel
// those twips round to; 9020 twips must read back as 9020, not as 9015.
class TwipsValue
{
public:
    int read(int pixels) const
    {
        return (m_twips != INT_MIN && toPixels(m_twips) == pixels) ? m_twips : toTwips(pixels);
    }
    int write(int twips)
    {
        m_twips = twips;
        return toPixels(twips);
    }

private:
    int m_twips = INT_MIN;
};

} // namespace ui
