// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/SyncState.h"

#include "base/Errors.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QUuid>

namespace q7::sync {

namespace {

constexpr QFileDevice::Permissions kOwnerOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kOwnerOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QJsonObject fieldsObject(const ContactFields& fields)
{
    QJsonArray numbers;
    for (const SyncNumber& number : fields.numbers)
        numbers.append(QJsonArray{number.number, number.image});
    return QJsonObject{{"name", fields.name}, {"group", fields.group}, {"numbers", numbers}};
}

ContactFields fieldsOf(const QJsonObject& object)
{
    ContactFields fields{object.value("name").toString(), {}, object.value("group").toString()};
    for (const QJsonValue& number : object.value("numbers").toArray())
        fields.numbers << SyncNumber{number.toArray().at(0).toString(),
                                     number.toArray().at(1).toInt()};
    return fields;
}

[[noreturn]] void fail(const QString& path, const QSqlError& error)
{
    throw Q7Error(TextId::Abgleich_Zustand, {QDir::toNativeSeparators(path), error.text()});
}

} // namespace

QByteArray encodeBase(const PairBase& base)
{
    return QJsonDocument(QJsonObject{{"handset", fieldsObject(base.handset)},
                                     {"card", fieldsObject(base.card)}})
        .toJson(QJsonDocument::Compact);
}

PairBase decodeBase(const QByteArray& text)
{
    const QJsonObject object = QJsonDocument::fromJson(text).object();
    return PairBase{fieldsOf(object.value("handset").toObject()),
                    fieldsOf(object.value("card").toObject())};
}

QString SyncState::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("sync"));
}

SyncState::SyncState(const QString& folder, const QString& identity, const QString& serial,
                     const QString& category)
    : m_connection(QStringLiteral("q7sync-") + QUuid::createUuid().toString(QUuid::Id128))
{
    // One file per address book, handset and category; its name tells
    // nothing about them, its meta table does.
    const QByteArray key = identity.toUtf8() + '\n' + serial.toUtf8() + '\n' + category.toUtf8();
    m_path = QDir(folder).filePath(
        QString::fromLatin1(
            QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24)) +
        QStringLiteral(".sqlite"));
    if (!QDir().mkpath(folder))
        throw EInOutError(EInOutError::AccessDenied, folder);
    QFile::setPermissions(folder, kOwnerOnlyFolder);
    {
        // Made before SQLite opens it, so that it is never readable by others.
        QFile file(m_path);
        if (!file.open(QIODevice::ReadWrite))
            throw EInOutError(EInOutError::AccessDenied, m_path);
        file.setPermissions(kOwnerOnlyFile);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    if (!db.open())
        fail(m_path, db.lastError());
    // Every pair is committed on its own as the sync goes. With a write-ahead
    // log a commit need not wait for the disk each time; a process that dies
    // still leaves every committed pair, and the database whole.
    exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT)"));
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS pairs (id INTEGER PRIMARY KEY, location "
                        "INTEGER, card_id TEXT, card_version TEXT, uid TEXT, base TEXT)"));
    exec(QStringLiteral("INSERT OR REPLACE INTO meta VALUES ('addressbook', ?), ('serial', ?), "
                        "('category', ?)"),
         {identity, serial, category});
}

SyncState::~SyncState()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

void SyncState::exec(const QString& statement, const QVariantList& values) const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(statement))
        fail(m_path, query.lastError());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        fail(m_path, query.lastError());
}

QList<SyncState::Pair> SyncState::pairs() const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(QStringLiteral(
            "SELECT id, location, card_id, card_version, uid, base FROM pairs ORDER BY id")))
        fail(m_path, query.lastError());
    QList<Pair> pairs;
    while (query.next())
        pairs << Pair{query.value(0).toLongLong(), query.value(1).toInt(),
                      query.value(2).toString(),   query.value(3).toString(),
                      query.value(4).toString(),   decodeBase(query.value(5).toByteArray())};
    return pairs;
}

qint64 SyncState::store(const Pair& pair)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(pair.id == 0
                      ? QStringLiteral("INSERT INTO pairs (location, card_id, "
                                       "card_version, uid, base) VALUES (?, ?, ?, ?, ?)")
                      : QStringLiteral("UPDATE pairs SET location = ?, card_id = ?, "
                                       "card_version = ?, uid = ?, base = ? WHERE id = ?"));
    query.addBindValue(pair.location);
    query.addBindValue(pair.cardId);
    query.addBindValue(pair.cardVersion);
    query.addBindValue(pair.uid);
    query.addBindValue(encodeBase(pair.base));
    if (pair.id != 0)
        query.addBindValue(pair.id);
    if (!query.exec())
        fail(m_path, query.lastError());
    return pair.id != 0 ? pair.id : query.lastInsertId().toLongLong();
}

void SyncState::remove(qint64 id)
{
    exec(QStringLiteral("DELETE FROM pairs WHERE id = ?"), {id});
}

QString SyncState::token() const
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT value FROM meta WHERE key = 'token'"));
    if (!query.exec())
        fail(m_path, query.lastError());
    return query.next() ? query.value(0).toString() : QString();
}

void SyncState::setToken(const QString& token)
{
    exec(QStringLiteral("INSERT OR REPLACE INTO meta VALUES ('token', ?)"), {token});
}

void SyncState::forgetTokens(const QString& folder, const QString& identity)
{
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.sqlite")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = QDir(folder).filePath(name);
        const QString connection =
            QStringLiteral("q7sync-") + QUuid::createUuid().toString(QUuid::Id128);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(path);
            if (!db.open())
                fail(path, db.lastError());
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("SELECT value FROM meta WHERE key = 'addressbook'")))
                fail(path, query.lastError());
            if (query.next() && query.value(0).toString() == identity &&
                !query.exec(QStringLiteral("DELETE FROM meta WHERE key = 'token'")))
                fail(path, query.lastError());
            query.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }
}

} // namespace q7::sync
