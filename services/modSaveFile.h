// Saving a file the user would miss: replaced whole, and a refusal is told, never swallowed.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Replaces path with data in one step. When the disk refuses (full, failing, read-only), the
// old file, if there was one, stays, and a box tells the user in one sentence, naming what
// (for example "Your favorites") and where. False when the file was not saved.
bool SaveFileOrTell(const QString &path, const QByteArray &data, const QString &what);

// The same, with the box's sentence made by the caller from whether an old file stayed and the
// reason the disk gave; for a file whose loss is better told as what the user will miss.
bool SaveFileOrTell(const QString &path, const QByteArray &data,
                    const std::function<QString(bool oldFileKept, const QString &error)> &message);
