// Skin mode's stand-ins for plain labels: the skin library draws skin labels only, so each
// plain label gets a skin-label twin placed over it.
#pragma once

#include <QString>

class QWidget;

namespace ui
{
class Form;
}

// For every control of type "Label" in the window's control order (only those inside
// container, when one is given): loads a new element of the skin-label array arrayName one
// above its upper bound and copies Top, Left, Height, Width, Font, Caption and Visible to it,
// in that order. The labels themselves stay as they are.
void CopyLabelsToSkinLabels(ui::Form *frm, const QString &arrayName, const QWidget *container = nullptr);
