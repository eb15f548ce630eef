// Window icons from the program's own icon groups (Qt resources under ":/icons/").
#pragma once

#include <QString>

class QIcon;
class QWidget;

// Gives the window the icon group's icons; with SetAsAppIcon its topmost owner too.
// An unknown group sets nothing.
void SetIcon(QWidget *hWnd, const QString &IconResName, bool SetAsAppIcon);

// The icon group as one icon holding every size it has; null when there is no such group.
QIcon LoadIconGroup(const QString &IconResName);
