// The program folder: where the executable and its companion files live.
#pragma once

#include <QString>

namespace platform
{

// The executable's folder without a trailing "/"; CHANNELDECK_PROGRAM_FOLDER overrides it.
QString programFolder();

} // namespace platform
