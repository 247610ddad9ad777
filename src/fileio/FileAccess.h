// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace q7 {

// Whole-file reads and writes for the phonebook files, failing with the
// runtime's file error numbers (EInOutError).

// Replaces the file only once everything is written, so a failure keeps an
// earlier file of that name as it was.
// OwnerOnly: for personal data (snapshots, the recovery file), readable by
// the user alone (0600) whatever the umask or an earlier file allowed.
enum class FileReaders
{
    AsUsual,
    OwnerOnly
};
void writeFileAtomically(const QString& path, const QByteArray& content,
                         FileReaders readers = FileReaders::AsUsual);

QByteArray readWholeFile(const QString& path);

// Fails as writeFileAtomically would fail to start, without touching the
// file: a long read of the handset need not end at a missing folder.
void checkWritable(const QString& path);

} // namespace q7
