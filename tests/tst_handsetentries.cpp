// SPDX-License-Identifier: GPL-3.0-or-later
// The handset's entries taken into the window under the window's own work,
// and a snapshot loaded into the window: what the write after them sends.

#include "editing/HandsetEntries.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/WritePlan.h"

#include <QTest>

using namespace q7;

namespace {

void putRecord(RecordStore& store, int record, const QByteArray& name,
               const QByteArray& changed = "NEIN")
{
    store.setField(record, Speicherplatz, QByteArray::number(record));
    store.setField(record, Name, name);
    store.setField(record, Nummernart1, "Mobil");
    store.setField(record, Nummer1, "0301" + QByteArray::number(record));
    store.setField(record, ChangedFlag, changed);
}

HandsetImage handsetHolding(const QList<int>& locations)
{
    RecordStore read;
    for (int location : locations)
        putRecord(read, location, "H" + QByteArray::number(location));
    HandsetImage image;
    image.takeRead(read);
    return image;
}

} // namespace

class TestHandsetEntries : public QObject
{
    Q_OBJECT

private slots:
    // A window that never read the handset, with one new entry: after the
    // read it holds every entry of the handset unchanged, and its own entry
    // at a location the handset has free; the plan writes that one only.
    void ownEntryMovesToAFreeLocation_data()
    {
        QTest::addColumn<int>("own");
        QTest::addColumn<QList<int>>("handset");
        QTest::addColumn<int>("expected");
        QTest::newRow("SIM entry where the handset holds one")
            << 510 << QList<int>{510, 511, 3} << 512;
        QTest::newRow("memory entry") << 3 << QList<int>{1, 2, 3, 505} << 4;
        QTest::newRow("a First Nine position stays among them")
            << 502 << QList<int>{501, 502} << 503;
        QTest::newRow("the First Nine full: onto the SIM")
            << 502 << QList<int>{501, 502, 503, 504, 505, 506, 507, 508, 509} << 510;
        QTest::newRow("a free location stays") << 7 << QList<int>{3, 8} << 7;
    }
    void ownEntryMovesToAFreeLocation()
    {
        QFETCH(int, own);
        QFETCH(QList<int>, handset);
        QFETCH(int, expected);
        const HandsetImage image = handsetHolding(handset);
        RecordStore store;
        putRecord(store, own, "Neu", "JA");

        const EditResult taken = takeHandsetEntries(store, image, OwnEntries::MoveAside);
        QCOMPARE(store.field(expected, Name), QByteArray("Neu"));
        QCOMPARE(store.field(expected, Speicherplatz), QByteArray::number(expected));
        QVERIFY(store.isChanged(expected));
        for (int location : handset) {
            QCOMPARE(store.field(location, Name), "H" + QByteArray::number(location));
            QVERIFY(!store.isChanged(location));
        }
        QCOMPARE(taken.moves.isEmpty(), own == expected);

        WritePlan plan = planWrite(store, image, true);
        noteMoves(plan, taken);
        QCOMPARE((QList<int>{plan.newCount, plan.changedCount, plan.deletedCount}),
                 (QList<int>{1, 0, 0}));
        QCOMPARE(plan.unchangedCount, handset.size());
        for (const PlanItem& item : plan.items)
            if (item.kind == PlanItem::Kind::New)
                QCOMPARE(item.movedFrom, own == expected ? 0 : own);
    }

    // An entry made and deleted before any write never reached the handset:
    // the deletion leaves the handset's entry at its location alone.
    void ownDeletionLeavesTheHandsetsEntry()
    {
        const HandsetImage image = handsetHolding({4});
        RecordStore store;
        putRecord(store, 4, kDeletionMarker.toByteArray(), "JA");
        takeHandsetEntries(store, image, OwnEntries::MoveAside);
        QCOMPARE(store.field(4, Name), QByteArray("H4"));
        QVERIFY(planWrite(store, image, true).isEmpty());
    }

    // A loaded phonebook stands for the handset's: its entries stay where
    // they are, and only what no record names comes in.
    void loadedPhonebookStays()
    {
        const HandsetImage image = handsetHolding({3, 4});
        RecordStore store;
        putRecord(store, 3, "Anna");
        const EditResult taken = takeHandsetEntries(store, image, OwnEntries::Stay);
        QCOMPARE(taken.touched, QList<int>{4});
        QCOMPARE(store.field(3, Name), QByteArray("Anna"));
        QCOMPARE(store.field(4, Name), QByteArray("H4"));
        const WritePlan plan = planWrite(store, image, true, true);
        QCOMPARE((QList<int>{plan.changedCount, plan.deletedCount}), (QList<int>{1, 0}));
    }

    void unknownHandsetTakesNothing()
    {
        RecordStore store;
        putRecord(store, 3, "Anna", "JA");
        const RecordStore before = store;
        QVERIFY(!takeHandsetEntries(store, HandsetImage(), OwnEntries::MoveAside).changed());
        QVERIFY(store == before);
    }

    // Every entry of the snapshot marked to be written, and only the
    // records that differ touched.
    void snapshotReplacesTheWindow()
    {
        RecordStore snapshot;
        putRecord(snapshot, 3, "Anna");
        putRecord(snapshot, 505, "Carl");
        RecordStore store;
        putRecord(store, 3, "Anna");
        store.setField(3, ChangedFlag, kChangedYes); // as a load of this snapshot left it
        putRecord(store, 7, "Dora", "JA");
        const EditResult result = replaceWithSnapshot(store, snapshot);
        QCOMPARE(result.touched, (QList<int>{7, 505}));
        QVERIFY(store.isChanged(3) && store.isChanged(505));
        QVERIFY(!store.holdsEntry(7));
    }
};

QTEST_GUILESS_MAIN(TestHandsetEntries)
#include "tst_handsetentries.moc"
