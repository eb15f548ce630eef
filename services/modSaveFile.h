// Saving a file the user would miss: replaced whole, and a refusal is told, never swallowed.
#pragma once

#include <QByteArray>
#include <QString>

// Replaces path with data in one step. When the disk refuses (full, failing, read-only), the
// old file, if there was one, stays, and a box tells the user in one sentence, naming what
// (for example "Your favorites") and where. False when the file was not saved.
bool SaveFileOrTell(const QString &path, const QByteArray &data, const QString &what);
