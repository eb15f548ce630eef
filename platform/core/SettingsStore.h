// Per-user settings store: string values under HKCU\Software\<appName>\<section>. Called on
// the user-interface thread; like the registry beneath it, a second thread works through
// connections of its own.
#pragma once

#include <QString>

namespace platform
{

// The stored text, or defaultValue when the key or value is missing or not a string.
QString getSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue = QString());
// Stores the text as a string value, creating the key when needed. A store that cannot
// be written keeps its old value and answers false; errorText then says why.
bool saveSetting(const QString &appName, const QString &section, const QString &key, const QString &value,
                 QString *errorText = nullptr);
// The file that holds the settings.
QString settingsFilePath();

} // namespace platform
