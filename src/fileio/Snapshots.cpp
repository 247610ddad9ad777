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
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimeZone>
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

std::optional<SnapshotInfo> infoOf(const QString& folder, const QString& fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{8}-\\d{6}-\\d{3})(?:-\\d+)?_(read|write|erase)_(\\d+)\\.csv$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    SnapshotInfo info;
    info.path = QDir(folder).filePath(fileName);
    info.time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    info.time.setTimeZone(QTimeZone::utc());
    info.entries = match.captured(3).toInt();
    const QString word = match.captured(2);
    info.reason = word == u"write"   ? SnapshotReason::BeforeWrite
                  : word == u"erase" ? SnapshotReason::BeforeErase
                                     : SnapshotReason::Read;
    return info;
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
    QString fileName = stamp + tail;
    for (int n = 1; QFile::exists(QDir(m_folder).filePath(fileName)); ++n)
        fileName = stamp + u'-' + QString::number(n) + tail;
    writeFileAtomically(QDir(m_folder).filePath(fileName), content, FileReaders::OwnerOnly);
    prune();
    return infoOf(m_folder, fileName);
}

QList<SnapshotInfo> Snapshots::list() const
{
    QList<SnapshotInfo> snapshots;
    // Names sort as their times do; newest first.
    const QStringList names = QDir(m_folder).entryList({QStringLiteral("*.csv")}, QDir::Files,
                                                       QDir::Name | QDir::Reversed);
    for (const QString& name : names)
        if (const std::optional<SnapshotInfo> info = infoOf(m_folder, name))
            snapshots << *info;
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
