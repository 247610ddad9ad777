// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileio/Snapshots.h"

#include "base/AppSettings.h"

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "fileio/CsvPhonebook.h"
#include "fileio/FileAccess.h"
#include "phonebook/HandsetImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimeZone>
#include <algorithm>
#include <memory>

namespace q7 {

namespace {

constexpr QFileDevice::Permissions kOwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

const char* reasonWord(SnapshotReason reason)
{
    switch (reason) {
    case SnapshotReason::BeforeWrite:
        return "write";
    case SnapshotReason::BeforeErase:
        return "erase";
    case SnapshotReason::Read:
        break;
    }
    return "read";
}

// A snapshot's file name: its time, the how-manieth it is within that
// millisecond (none for the first), its reason and its number of entries.
const QRegularExpression& namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{8}-\\d{6}-\\d{3})(?:-(\\d+))?_(read|write|erase)_(\\d+)\\.csv$"));
    return pattern;
}

std::optional<SnapshotInfo> infoOf(const QString& folder, const QString& fileName)
{
    const QRegularExpressionMatch match = namePattern().match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    SnapshotInfo info;
    info.path = QDir(folder).filePath(fileName);
    info.time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    info.time.setTimeZone(QTimeZone::utc());
    info.entries = match.captured(4).toInt();
    const QString word = match.captured(3);
    info.reason = word == u"write"   ? SnapshotReason::BeforeWrite
                  : word == u"erase" ? SnapshotReason::BeforeErase
                                     : SnapshotReason::Read;
    return info;
}

// 0 for the first snapshot of its millisecond, then 1, 2...
int sequenceOf(const QString& path)
{
    return namePattern().match(QFileInfo(path).fileName()).captured(2).toInt();
}

} // namespace

QString snapshotReasonText(SnapshotReason reason, const LanguageFile& texts)
{
    switch (reason) {
    case SnapshotReason::BeforeWrite:
        return texts.text(TextId::Sicherungen_GrundSchreiben);
    case SnapshotReason::BeforeErase:
        return texts.text(TextId::Sicherungen_GrundLoeschen);
    case SnapshotReason::Read:
        break;
    }
    return texts.text(TextId::Sicherungen_GrundLesen);
}

QString Snapshots::defaultFolder()
{
    // The about box names the same folder: it is named in one place.
    return snapshotFolder();
}

Snapshots::Snapshots(QString folder, int kept) : m_folder(std::move(folder)), m_kept(kept) {}

void Snapshots::makeFolder() const
{
    if (!QDir().mkpath(m_folder))
        throw EInOutError(EInOutError::AccessDenied, m_folder);
    // Also an older folder, made before it was kept private.
    QFile::setPermissions(m_folder, kOwnerOnlyFolder);
}

std::optional<SnapshotInfo> Snapshots::keep(const HandsetImage& image, SnapshotReason reason,
                                            const QDateTime& now)
{
    if (!image.isKnown() || image.entryCount() == 0)
        return std::nullopt;
    auto store = std::make_unique<RecordStore>(image.entries());
    const QByteArray content = exportCsv(*store, false);
    const QList<SnapshotInfo> existing = list();
    if (!existing.isEmpty()) {
        QFile newest(existing.front().path);
        if (newest.open(QIODevice::ReadOnly) && newest.readAll() == content)
            return std::nullopt;
    }
    makeFolder();
    const QString stamp = now.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString tail =
        QStringLiteral("_%1_%2.csv").arg(QLatin1String(reasonWord(reason))).arg(image.entryCount());
    // A second snapshot in the same millisecond, whatever its reason, takes
    // the next number after that millisecond's last one, so that the list
    // keeps the order they were taken in.
    int sequence = -1;
    for (const SnapshotInfo& info : existing)
        if (info.time == now.toUTC())
            sequence = std::max(sequence, sequenceOf(info.path));
    QString fileName =
        sequence < 0 ? stamp + tail : stamp + u'-' + QString::number(sequence + 1) + tail;
    writeFileAtomically(QDir(m_folder).filePath(fileName), content, FileReaders::OwnerOnly);
    prune();
    return infoOf(m_folder, fileName);
}

QList<SnapshotInfo> Snapshots::list() const
{
    QList<SnapshotInfo> snapshots;
    const QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
    for (const QString& name : names)
        if (const std::optional<SnapshotInfo> info = infoOf(m_folder, name))
            snapshots << *info;
    // Newest first: by time, then by the number within the millisecond. The
    // names alone would put the reason's spelling before that number.
    std::stable_sort(snapshots.begin(), snapshots.end(),
                     [](const SnapshotInfo& a, const SnapshotInfo& b) {
                         if (a.time != b.time)
                             return a.time > b.time;
                         return sequenceOf(a.path) > sequenceOf(b.path);
                     });
    return snapshots;
}

RecordStore Snapshots::load(const SnapshotInfo& snapshot)
{
    return readCsvFile(snapshot.path, RecordStore());
}

void Snapshots::prune() const
{
    const QList<SnapshotInfo> snapshots = list();
    for (qsizetype i = std::max(1, m_kept); i < snapshots.size(); ++i)
        QFile::remove(snapshots[i].path);
}

} // namespace q7
