// The test windows: each control kind placed with a design text.
#include "tests/localisation/TestWindows.h"

namespace loctest
{

SampleWindow::SampleWindow(const QString &name) : ui::Form(name)
{
    setCaption(QStringLiteral("Sample Window"));
    lblTitle = addControl<ui::Label>(QStringLiteral("lblTitle"), nullptr, 120, 120, 3000, 255);
    lblTitle->setCaption(QStringLiteral("Title"));
    cmdGo = addControl<ui::CommandButton>(QStringLiteral("cmdGo"), nullptr, 120, 480, 1200, 375);
    cmdGo->setCaption(QStringLiteral("Go"));
    SkinLabel1 = addControl<ui::SkinLabel>(QStringLiteral("SkinLabel1"), nullptr, 120, 900, 1200, 255);
    SkinLabel1->setCaption(QStringLiteral("Windowed Label"));
    Frame1 = addControl<ui::Frame>(QStringLiteral("Frame1"), nullptr, 120, 1200, 5000, 3000);
    Frame1->setCaption(QStringLiteral("Channels"));
    chkOption = addControl<ui::CheckBox>(QStringLiteral("chkOption"), Frame1, 120, 240, 3000, 255);
    chkOption->setCaption(QStringLiteral("Remember me"));
    optKind0 = addControl<ui::OptionButton>(QStringLiteral("optKind"), Frame1, 120, 600, 1500, 255, 0);
    optKind0->setCaption(QStringLiteral("TV"));
    optKind1 = addControl<ui::OptionButton>(QStringLiteral("optKind"), Frame1, 1800, 600, 1500, 255, 1);
    optKind1->setCaption(QStringLiteral("Radio"));
    optLoose = addControl<ui::OptionButton>(QStringLiteral("optLoose"), Frame1, 120, 960, 1500, 255);
    optLoose->setCaption(QStringLiteral("Loose"));
    txtName = addControl<ui::TextBox>(QStringLiteral("txtName"), nullptr, 120, 4300, 3000, 315);
    txtName->setText(QStringLiteral("Name"));
    cmbPick = addControl<ui::ComboBox>(QStringLiteral("cmbPick"), nullptr, 3200, 4300, 1500, 315);
    cmbPick->AddItem(QStringLiteral("One"));
    cmbPick->setText(QStringLiteral("One"));
    tabPages = addControl<ui::TabStrip>(QStringLiteral("tabPages"), nullptr, 120, 4700, 4000, 375);
    tabPages->AddTab(QStringLiteral("General"));
    tabPages->AddTab(QStringLiteral("Advanced"));
    lvItems = addControl<ui::ListView>(QStringLiteral("lvItems"), nullptr, 120, 5200, 5000, 2000);
    for (const char *column : {"Channel", "Category", "Type", "Rating", "Favorites"})
        lvItems->ColumnHeaders()->Add(QString::fromLatin1(column));
    mnuFile = addMenu(QStringLiteral("mnuFile"), QStringLiteral("File"));
    mnuFileItem0 = addMenu(QStringLiteral("mnuFileItem"), QStringLiteral("Open"), mnuFile, 0);
    mnuFileItem3 = addMenu(QStringLiteral("mnuFileItem"), QStringLiteral("Exit"), mnuFile, 3);
}

TextOnlyWindow::TextOnlyWindow() : ui::Form(QStringLiteral("frmText"))
{
    setCaption(QStringLiteral("Text Only"));
    txtOnly = addControl<ui::TextBox>(QStringLiteral("txtOnly"), nullptr, 0, 0, 1000, 315);
}

} // namespace loctest
