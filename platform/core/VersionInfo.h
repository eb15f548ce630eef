// The executable's version information, compiled in at build time.
#pragma once

#include <QString>

namespace platform
{

struct VersionInfo {
    QString productName;
    QString companyName;
    QString comments; // the product's website
    int major = 0;
    int minor = 0;
};

// What the program reports about itself; tests may replace it.
VersionInfo versionInfo();
void setVersionInfo(const VersionInfo &info);
void resetVersionInfo();

} // namespace platform
