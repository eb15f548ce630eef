// Line files of the main window (channel list, date file, editor export and import): read as
// byte lines, and replaced whole so that a failed write leaves the old file as it was.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace textfile
{

// The file's lines without their ends (CR LF, or a bare LF); nullopt when it cannot be read.
std::optional<QList<QByteArray>> readLines(const QString &path);

// Every line followed by CR LF.
QByteArray joinLines(const QList<QByteArray> &lines);

// Replaces path with content in one step; false (and path untouched) when it cannot be written.
bool replaceFile(const QString &path, const QByteArray &content);

} // namespace textfile
