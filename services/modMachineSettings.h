// Machine-wide string settings under HKEY_LOCAL_MACHINE\SOFTWARE\<company>\<app>\<section>.
#pragma once

#include <QString>

#include <functional>

// Writes one value; never raises. A failing step asks the user (Abort/Retry/Ignore)
// unless the per-user setting "IgnorePermissionDeniedError" is "1".
void SaveMachineSetting(QString AppName, QString Section, QString Key, QString Value);
// Reads one value, or Default when the key or value is missing. Raises
// platform::RuntimeError for empty names, an unopenable key or a value that is not text.
QString GetMachineSetting(QString AppName, QString Section, QString Key, QString Default);

// Test seam: called as each step of SaveMachineSetting begins (1 key path, 2 create the
// key, 3 set the value); whatever it throws is that step's failure. Returns the previous.
using MachineSettingsFault = std::function<void(int step)>;
MachineSettingsFault SetMachineSettingsFault(MachineSettingsFault fault);
