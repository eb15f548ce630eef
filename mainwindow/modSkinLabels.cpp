#include "mainwindow/modSkinLabels.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

void CopyLabelsToSkinLabels(ui::Form *frm, const QString &arrayName, const QWidget *container)
{
    if (!frm)
        return;
    static const char *const copied[] = {"Top", "Left", "Height", "Width", "Font", "Caption", "Visible"};
    // A snapshot: the new elements join the window's controls as they are loaded.
    const QList<QObject *> controls = frm->controls();
    for (QObject *control : controls) {
        if (ui::typeName(control) != QLatin1String("Label"))
            continue;
        const auto *label = qobject_cast<QWidget *>(control);
        if (container && (!label || label->parentWidget() != container))
            continue;
        QObject *twin = frm->loadControl(arrayName, frm->upperBound(arrayName) + 1);
        if (!twin)
            return; // no such array on this window
        for (const char *property : copied)
            twin->setProperty(property, control->property(property));
    }
}
