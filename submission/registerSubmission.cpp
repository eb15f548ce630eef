#include "submission/registerSubmission.h"

#include "platform/ui/Forms.h"
#include "submission/frmSubmit.h"

void registerSubmissionWindows()
{
    ui::Forms::registerClass(QStringLiteral("frmSubmit"), [] { return new frmSubmit; });
}
