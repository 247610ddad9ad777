// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/FileAccess.h"

#include "base/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace q7 {

namespace {

constexpr int kDeviceError = 1117; // what the runtime reports for EIO

// The runtime's file error numbers are those of Windows; the ones the user
// is likely to meet have German texts of their own.
int inOutCode(int systemError, const QString& path)
{
    switch (systemError) {
    case ENOENT:
        // A missing folder is a bad name rather than a missing file.
        return QFileInfo(path).absoluteDir().exists() ? EInOutError::FileNotFound
                                                      : EInOutError::InvalidFileName;
    case ENOTDIR:
    case ENAMETOOLONG:
        return EInOutError::InvalidFileName;
    case EMFILE:
    case ENFILE:
        return EInOutError::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return EInOutError::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return EInOutError::DiskFull;
    default:
        // An errno that happens to equal one of the runtime's numbers (EIO is
        // 5) must not show that number's text.
        for (const int code : {2, 3, 4, 5, 100, 101})
            if (systemError == code)
                return kDeviceError;
        return systemError;
    }
}

enum class Access
{
    Open,
    Write,
    Read
};

// errno is taken right after the failing call. Qt reports a full disk (and
// too many open files) as a resource error, which still tells them apart
// when errno has been overwritten since.
[[noreturn]] void throwFileError(const QFileDevice& file, int systemError, Access access,
                                 const QString& path)
{
    if (systemError == 0 && file.error() == QFileDevice::ResourceError)
        systemError = access == Access::Open ? EMFILE : ENOSPC;
    if (systemError == 0)
        systemError = EIO;
    throw EInOutError(inOutCode(systemError, path));
}

// A folder is named as such, whatever opening it would report.
void openOrThrow(QFileDevice& file, QIODevice::OpenMode mode, const QString& path)
{
    if (QFileInfo(path).isDir())
        throwFileError(file, EISDIR, Access::Open, path);
    errno = 0;
    if (!file.open(mode))
        throwFileError(file, errno, Access::Open, path);
}

} // namespace

void checkWritable(const QString& path)
{
    QSaveFile file(path);
    openOrThrow(file, QIODevice::WriteOnly, path);
    // Nothing is written: an earlier file of that name stays as it is.
    file.cancelWriting();
}

void writeFileAtomically(const QString& path, const QByteArray& content, FileReaders readers)
{
    QSaveFile file(path);
    openOrThrow(file, QIODevice::WriteOnly, path);
    // Set on the new file before a byte is in it, so that it is never
    // readable by others, not even for a moment.
    if (readers == FileReaders::OwnerOnly &&
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throwFileError(file, errno, Access::Write, path);
    errno = 0;
    if (file.write(content) != content.size())
        throwFileError(file, errno, Access::Write, path);
    errno = 0;
    if (!file.commit())
        throwFileError(file, errno, Access::Write, path);
}

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    openOrThrow(file, QIODevice::ReadOnly, path);
    errno = 0;
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throwFileError(file, errno, Access::Read, path);
    return content;
}

} // namespace q7
