// The executable's version information, compiled in at build time.
#pragma once

#include <QString>

namespace platform {

struct VersionInfo
{
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

// Base address of the product's server ("http://host[:port]", no trailing slash);
// CHANNELDECK_SERVER overrides the compiled-in one, with "http://" put in front when it
// names no scheme.
QString productServer();
// Base address of the video site; CHANNELDECK_VIDEO_SITE overrides it, likewise.
QString videoSite();

} // namespace platform
