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
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

const QRegularExpression& cardsPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{8}-\\d{6}-\\d{3})(?:-(\\d+))?_cards_(\\d+)\\.vcf$"));
    return pattern;
}

int cardsSequenceOf(const QString& path)
{
    return cardsPattern().match(QFileInfo(path).fileName()).captured(2).toInt();
}

// Where a card copy says what it came from.
QString originPath(const QString& copyPath)
{
    return copyPath.left(copyPath.size() - 4) + QStringLiteral(".json");
}

QJsonObject originOf(const QString& copyPath)
{
    QFile file(originPath(copyPath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The cards of a vCard file, each with its lines as they stand there; a
// card nested in another (an AGENT of vCard 2.1) stays in the outer one.
QList<QByteArray> splitCards(const QByteArray& content)
{
    QList<QByteArray> cards;
    QByteArray current;
    int depth = 0;
    qsizetype from = 0;
    while (from < content.size()) {
        qsizetype end = content.indexOf('\n', from);
        end = end < 0 ? content.size() : end + 1;
        const QByteArray line = content.mid(from, end - from);
        from = end;
        const QByteArray word = line.trimmed().toUpper();
        if (word == "BEGIN:VCARD")
            ++depth;
        if (depth > 0)
            current += line;
        if (word == "END:VCARD" && depth > 0 && --depth == 0) {
            cards << current;
            current.clear();
        }
    }
    return cards;
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

QString cardCopyReasonText(const CardCopyInfo& copy, const LanguageFile& texts)
{
    return fillIn(texts.text(TextId::Kartenkopien_Grund),
                  {copy.addressBookName.isEmpty() ? texts.text(TextId::Kartenkopien_Unbekannt)
                                                  : copy.addressBookName});
}

QString cardCount(int count, const LanguageFile& texts)
{
    return texts.count(count, TextId::Kartenkopien_EineKarte, TextId::Kartenkopien_Karten);
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

std::optional<CardCopyInfo> Snapshots::keepCards(const QList<KeptCard>& cards,
                                                 const QString& addressBook, const QString& name,
                                                 const QDateTime& now)
{
    if (cards.isEmpty())
        return std::nullopt;
    QByteArray content;
    QJsonArray ids;
    for (const KeptCard& card : cards) {
        content += card.data;
        if (!card.data.endsWith('\n'))
            content += "\r\n";
        ids.append(card.id);
    }
    makeFolder();
    const QString stamp = now.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString tail = QStringLiteral("_cards_%1.vcf").arg(cards.size());
    // A second copy in the same millisecond (a card changed again between
    // the plan and the write) must not take the place of the first.
    int sequence = -1;
    for (const CardCopyInfo& info : cardCopies())
        if (info.time == now.toUTC())
            sequence = std::max(sequence, cardsSequenceOf(info.path));
    const QString fileName =
        sequence < 0 ? stamp + tail : stamp + u'-' + QString::number(sequence + 1) + tail;
    const QString path = QDir(m_folder).filePath(fileName);
    // The origin first: a copy is never there without it.
    const QJsonObject origin{{QStringLiteral("addressBook"), addressBook},
                             {QStringLiteral("name"), name},
                             {QStringLiteral("cards"), ids}};
    writeFileAtomically(originPath(path), QJsonDocument(origin).toJson(), FileReaders::OwnerOnly);
    writeFileAtomically(path, content, FileReaders::OwnerOnly);
    pruneCards();
    CardCopyInfo info;
    info.path = path;
    info.time = QDateTime::fromString(stamp, QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    info.time.setTimeZone(QTimeZone::utc());
    info.cards = static_cast<int>(cards.size());
    info.addressBook = addressBook;
    info.addressBookName = name;
    return info;
}

QList<CardCopyInfo> Snapshots::cardCopies() const
{
    QList<CardCopyInfo> copies;
    const QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*_cards_*.vcf")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = cardsPattern().match(name);
        if (!match.hasMatch())
            continue;
        CardCopyInfo info;
        info.path = QDir(m_folder).filePath(name);
        info.time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss-zzz"));
        info.time.setTimeZone(QTimeZone::utc());
        info.cards = match.captured(3).toInt();
        const QJsonObject origin = originOf(info.path);
        info.addressBook = origin.value(QStringLiteral("addressBook")).toString();
        info.addressBookName = origin.value(QStringLiteral("name")).toString();
        if (info.addressBookName.isEmpty())
            info.addressBookName = info.addressBook;
        copies << info;
    }
    std::stable_sort(copies.begin(), copies.end(),
                     [](const CardCopyInfo& a, const CardCopyInfo& b) {
                         if (a.time != b.time)
                             return a.time > b.time;
                         return cardsSequenceOf(a.path) > cardsSequenceOf(b.path);
                     });
    return copies;
}

QList<KeptCard> Snapshots::loadCards(const CardCopyInfo& copy)
{
    const QList<QByteArray> cards = splitCards(readWholeFile(copy.path));
    const QJsonArray ids = originOf(copy.path).value(QStringLiteral("cards")).toArray();
    // Ids that do not fit the cards name none of them: the cards are then
    // found by their UIDs.
    const bool named = ids.size() == cards.size();
    QList<KeptCard> kept;
    for (qsizetype i = 0; i < cards.size(); ++i)
        kept << KeptCard{named ? ids[i].toString() : QString(), cards[i]};
    return kept;
}

void Snapshots::pruneCards() const
{
    const QList<CardCopyInfo> copies = cardCopies();
    for (qsizetype i = std::max(1, m_kept); i < copies.size(); ++i) {
        QFile::remove(copies[i].path);
        QFile::remove(originPath(copies[i].path));
    }
}

void Snapshots::prune() const
{
    const QList<SnapshotInfo> snapshots = list();
    for (qsizetype i = std::max(1, m_kept); i < snapshots.size(); ++i)
        QFile::remove(snapshots[i].path);
}

} // namespace q7
