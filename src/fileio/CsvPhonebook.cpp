#include "fileio/CsvPhonebook.h"

#include "base/Errors.h"
#include "base/PcText.h"
#include "link/GsmText.h"
#include "phonebook/EntryParser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <memory>

namespace q7 {

namespace {

constexpr char kEndOfFile = 26;
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

// EConvertError keeps its runtime text; the import adds where it happened.
EConvertError convertErrorInLine(QByteArrayView text, int lineNumber)
{
    return EConvertError(decodePc(text), QStringLiteral("(Zeile %1)").arg(lineNumber));
}

bool isBlankLine(QByteArrayView line)
{
    for (const char c : line)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

void appendQuoted(QByteArray& out, QByteArrayView text)
{
    out += '"';
    out += text;
    out += '"';
}

} // namespace

QByteArray exportCsv(RecordStore& store, bool includeMarkedForDeletion)
{
    QByteArray out;
    for (int r = 1; r <= kRecordCount; ++r) {
        if (store.fieldIsEmpty(r, Speicherplatz))
            continue;
        if (store.isMarkedForDeletion(r) && !includeMarkedForDeletion)
            continue;
        const QByteArray location = QByteArray::number(toInteger(store.field(r, Speicherplatz)));
        store.setField(r, Speicherplatz, location);

        out += location;
        for (int k = Name; k <= Feld18; ++k) {
            out += ',';
            const QByteArray text = store.field(r, k);
            // Field 18 is converted as well, so that it reads back as written.
            appendQuoted(out, k == Gruppe ? text : pcToHandset(text));
        }
        out += "\r\n";
    }
    return out;
}

void writeCsvFile(const QString& path, RecordStore& store, bool includeMarkedForDeletion)
{
    // The normalised Speicherplatz texts reach the caller's store only with
    // a complete file; the store is too large for the stack.
    auto staged = std::make_unique<RecordStore>(store);
    const QByteArray content = exportCsv(*staged, includeMarkedForDeletion);

    QSaveFile file(path);
    if (QFileInfo(path).isDir())
        throwFileError(file, EISDIR, Access::Open, path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throwFileError(file, errno, Access::Open, path);
    errno = 0;
    if (file.write(content) != content.size())
        throwFileError(file, errno, Access::Write, path);
    errno = 0;
    if (!file.commit())
        throwFileError(file, errno, Access::Write, path);
    store = *staged;
}

RecordStore importCsv(const QByteArray& content, const RecordStore& current)
{
    RecordStore result = current;
    result.ClearRecords();

    QByteArrayView data = content;
    if (const qsizetype eof = data.indexOf(kEndOfFile); eof >= 0)
        data = data.first(eof);
    // Lines end at CR, an LF right after it belongs to the line end. A file
    // from an editor that writes LF alone would otherwise be one long line.
    const bool crLines = data.contains('\r');
    const char lineEnd = crLines ? '\r' : '\n';

    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = data.indexOf(lineEnd, pos);
        if (end < 0)
            end = data.size();
        const QByteArrayView line = data.sliced(pos, end - pos);
        pos = end + 1;
        if (crLines && pos < data.size() && data[pos] == '\n')
            ++pos;
        ++lineNumber;

        if (isBlankLine(line))
            continue;
        const qsizetype comma = line.indexOf(',');
        const QByteArrayView numberText = comma < 0 ? line : line.first(comma);
        const std::optional<int> record = readInteger(numberText);
        if (!record)
            throw convertErrorInLine(numberText, lineNumber);
        if (*record < 1 || *record > kRecordCount)
            throw Q7Error(
                QStringLiteral("Speicherplatz %1 liegt nicht zwischen 1 und %2 (Zeile %3)")
                    .arg(*record)
                    .arg(kRecordCount)
                    .arg(lineNumber));

        QByteArray reply = " :";
        reply += line;
        reply += '\r';
        parseEntryLine(result, *record, reply);
        result.setField(*record, Speicherplatz, QByteArray::number(*record));
    }
    return result;
}

RecordStore readCsvFile(const QString& path, const RecordStore& current)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        throwFileError(file, EISDIR, Access::Open, path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throwFileError(file, errno, Access::Open, path);
    errno = 0;
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throwFileError(file, errno, Access::Read, path);
    return importCsv(content, current);
}

} // namespace q7
