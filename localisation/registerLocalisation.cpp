#include "localisation/registerLocalisation.h"

#include "localisation/frmLanguage.h"
#include "platform/ui/Forms.h"

void registerLocalisationWindows()
{
    ui::Forms::registerClass(QStringLiteral("frmLanguage"), [] { return new frmLanguage; });
}
