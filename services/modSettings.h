// The program's own per-user settings: section "Settings" under the product name.
#pragma once

#include <QString>

// The stored text, or Default when there is none.
QString GetProgramSetting(const QString &Key, const QString &Default = QString());
// Stores the text; a store that cannot be written keeps its old value. The first such
// failure of a run is told in a box (not every one: a start saves several settings).
void SaveProgramSetting(const QString &Key, const QString &Value);
