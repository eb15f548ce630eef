// The program's state as the main-window tests and the benchmark need it: brand settings of
// a stand-in product, a later run of the only copy, the program's end replaced and the
// start-up windows registered. Without GoogleTest, so the benchmark shares it.
#pragma once

#include "platform/core/VersionInfo.h"

#include <QString>
#include <functional>

namespace mwtest
{

void beginMainWindowSession(const platform::VersionInfo &product, std::function<void()> onEnd);
void endMainWindowSession();

// A per-user setting of the stand-in product ("Settings" section).
void putProgramSetting(const QString &key, const QString &value);

} // namespace mwtest
