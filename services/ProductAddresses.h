// Where the product's servers are: compiled in, replaceable from the environment.
#pragma once

#include <QString>

// Base address of the product's server ("http://host[:port]", no trailing slash);
// CHANNELDECK_SERVER overrides the compiled-in one, with "http://" put in front when it names
// no scheme.
QString productServer();
// Base address of the video site; CHANNELDECK_VIDEO_SITE overrides it, likewise.
QString videoSite();
