// The line scrambler of the favourites file, the editor's export and the submitted address.
#pragma once

#include <QByteArray>

// Shifts every byte by the program's fixed key, wrapping at 255; same length as s.
QByteArray EncryptString(const QByteArray &s);
// Undoes EncryptString.
QByteArray DecryptString(const QByteArray &s);
