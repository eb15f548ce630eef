#include "mainwindow/registerMainWindows.h"

#include "mainwindow/Form1.h"
#include "mainwindow/Form8.h"
#include "mainwindow/frmAbout.h"
#include "mainwindow/frmSplash.h"
#include "mainwindow/frmWebsite.h"
#include "platform/ui/Forms.h"

void registerMainWindows()
{
    ui::Forms::registerClass(QStringLiteral("frmSplash"), [] { return new frmSplash; });
    ui::Forms::registerClass(QStringLiteral("Form1"), [] { return new Form1; });
    ui::Forms::registerClass(QStringLiteral("Form8"), [] { return new Form8; });
    ui::Forms::registerClass(QStringLiteral("frmWebsite"), [] { return new frmWebsite; });
    ui::Forms::registerClass(QStringLiteral("frmAbout"), [] { return new frmAbout; });
}
