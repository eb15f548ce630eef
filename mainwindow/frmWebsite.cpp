#include "mainwindow/frmWebsite.h"

#include "platform/core/Shell.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "services/modMarque.h"

frmWebsite::frmWebsite(QWidget *parent) : ui::Form(QStringLiteral("frmWebsite"), parent)
{
    Timer1 = addControl<ui::TimerControl>(QStringLiteral("Timer1"), nullptr, 0, 0, 0, 0);
    Timer1->setInterval(1000);
    Timer1->setEnabled(true);
    connect(Timer1, &ui::TimerControl::Timer, this, &frmWebsite::Timer1_Timer);
}

void frmWebsite::Form_Load()
{
    LoadBrandSettings();
    if (PageRequest != QLatin1String("Website"))
        return;
    QString address = WebsiteUrl;
    if (!address.contains(QLatin1String("https://"), Qt::CaseInsensitive) &&
        !address.contains(QLatin1String("http://"), Qt::CaseInsensitive))
        address.prepend(QLatin1String("http://"));
    platform::shellOpen(address);
    PageRequest.clear();
}

void frmWebsite::Timer1_Timer()
{
    ui::Forms::unload(this);
}
