// SPDX-License-Identifier: GPL-3.0-or-later
// Where a sync keeps things: the folder of vCards with its preconditions,
// and the sync state, private to the user.

#include "sync/SyncState.h"
#include "sync/VcardFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace q7::sync;

class TestSyncStore : public QObject
{
    Q_OBJECT

private slots:
    void folderIsMadeAndOnlyCardsListed()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a/b");
        VcardFolder folder(path);
        QVERIFY(folder.list().isEmpty());
        QVERIFY(QFileInfo(path).isDir());
        QFile other(QDir(path).filePath("readme.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("mine");
        other.close();

        const std::optional<CardVersion> stored = folder.put({}, "x/y 1", "BEGIN:VCARD\r\n", {});
        QVERIFY(stored);
        QVERIFY(stored->id.endsWith(".vcf"));
        QVERIFY(!stored->id.contains('/'));
        const QList<CardVersion> listed = folder.list();
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed.front().id, stored->id);
        QCOMPARE(listed.front().version, stored->version);
        // A second new card under the same UID would replace the first.
        QVERIFY(!folder.put({}, "x/y 1", "BEGIN:VCARD\r\n", {}));
        QCOMPARE(folder.fetch({stored->id, "gone.vcf"}).size(), 1);
        QCOMPARE(VcardFolder::fileNameFor("abc-123@host"), "abc-123@host.vcf");
    }

    // Changed by another program since it was read: neither written over
    // nor deleted.
    void preconditions()
    {
        QTemporaryDir dir;
        VcardFolder folder(dir.path());
        const std::optional<CardVersion> first = folder.put({}, "u1", "one", {});
        QVERIFY(first);
        QThread::msleep(5);
        const std::optional<CardVersion> second =
            folder.put(first->id, "u1", "two!", first->version);
        QVERIFY(second);
        QVERIFY(second->version != first->version);
        QVERIFY(!folder.put(first->id, "u1", "three", first->version));
        QVERIFY(!folder.remove(first->id, first->version));
        QCOMPARE(folder.fetch({first->id}).front().data, QByteArray("two!"));
        QVERIFY(folder.remove(second->id, second->version));
        QVERIFY(folder.remove(second->id, second->version)); // already gone counts
        QVERIFY(folder.list().isEmpty());
    }

    void statePersistsPrivately()
    {
        QTemporaryDir dir;
        SyncState::Pair pair;
        pair.location = 12;
        pair.cardId = "u1.vcf";
        pair.cardVersion = "1-2";
        pair.uid = "u1";
        pair.base = {{"Jörg", {{"0171", 8}}, "Familie"}, {"Jörg Muster", {{"+49171", 8}}, {}}};
        QString path;
        {
            SyncState state(dir.path(), "/home/x/cards", "351234567890125", {});
            path = state.path();
            pair.id = state.store(pair);
            state.setToken("t1");
        }
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFileInfo(path).permissions() & others, QFileDevice::Permissions());
        QVERIFY(QFileInfo(path).permissions() & QFileDevice::ReadOwner);
        SyncState again(dir.path(), "/home/x/cards", "351234567890125", {});
        QCOMPARE(again.token(), "t1");
        QCOMPARE(again.pairs().size(), 1);
        const SyncState::Pair read = again.pairs().front();
        QCOMPARE(read.location, 12);
        QCOMPARE(read.uid, "u1");
        QCOMPARE(read.base.handset, pair.base.handset);
        QCOMPARE(read.base.card, pair.base.card);
        // Another handset has a state of its own.
        SyncState other(dir.path(), "/home/x/cards", "999", {});
        QVERIFY(other.pairs().isEmpty());
        again.remove(read.id);
        QVERIFY(again.pairs().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSyncStore)
#include "tst_syncstore.moc"
