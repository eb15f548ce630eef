// Generated inputs of the benchmark: channel lists, video-site pages and registry files that
// look like the real ones (mixed categories and types, six-digit counts, ratings).
#pragma once

#include <QByteArray>
#include <QString>

namespace bench
{

// Data.txt of `lines` CR LF lines. With distinctTypes, every TV line has a type of its own;
// with accentedNames, every eighth name begins with a word of accented letters, the rest
// of the list as without.
QByteArray channelList(int lines, bool distinctTypes = false, bool accentedNames = false);
// An M3U playlist of `entries` entries of about 160 bytes, as providers write them: attributes,
// groups (some radio), an option line now and then, and one address in fifty repeated.
QByteArray playlist(int entries);
// A result page of the video site with `links` video links, a third of them repeats.
QByteArray videoPage(int links, int page);
// A REGEDIT4 file with `values` string values in one key.
QByteArray regFile(const QString &keyPath, int values);

} // namespace bench
