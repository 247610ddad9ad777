// SPDX-License-Identifier: GPL-3.0-or-later
// What a write will do, from the store and the handset as last seen; and
// that the write does exactly that against the simulated handset.

#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "phonebook/WritePlan.h"
#include "support/SimFixture.h"

#include <QTest>

using namespace q7;

Q_DECLARE_METATYPE(PlanItem::Kind)

namespace {

void putRecord(RecordStore& store, int record, const QByteArray& name,
               const QByteArray& number = "0301234567", const QByteArray& changed = "NEIN")
{
    store.setField(record, Speicherplatz, QByteArray::number(record));
    store.setField(record, Name, name);
    store.setField(record, NummerTag1, "TELNO");
    store.setField(record, Nummernart1, "Mobil");
    store.setField(record, Nummer1, number);
    store.setField(record, NummerTag2, "TELNO");
    store.setField(record, NummerTag3, "TELNO");
    store.setField(record, ZusatzTag1, "CUSTOM");
    store.setField(record, ZusatzTag2, "CUSTOM");
    store.setField(record, ChangedFlag, changed);
}

// The handset holds Anna at 3 and Bert at 4 (and Carl at 505).
HandsetImage readHandset()
{
    RecordStore read;
    putRecord(read, 3, "Anna");
    putRecord(read, 4, "Bert");
    putRecord(read, 505, "Carl");
    HandsetImage image;
    image.takeRead(read);
    return image;
}

const PlanItem* itemAt(const WritePlan& plan, int location)
{
    for (const PlanItem& item : plan.items)
        if (item.location == location)
            return &item;
    return nullptr;
}

struct CountingHost : RecordingHost
{
    int stopAfter = -1; // records handed to the write before the stop
    int asked = 0;
    bool stopRequested() override { return stopAfter >= 0 && asked++ >= stopAfter; }
};

} // namespace

class TestWritePlan : public QObject
{
    Q_OBJECT

private slots:
    // The window holds the read phonebook with one change applied; the plan
    // names that one location and how.
    void planOfOneChange_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<bool>("onlyChanged");
        QTest::addColumn<int>("location");
        QTest::addColumn<PlanItem::Kind>("kind");
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QList<int>>("counts"); // new, changed, deleted, unchanged

        using K = PlanItem::Kind;
        QTest::newRow("nothing") << QByteArray() << true << 3 << K::Unchanged << QList<int>{}
                                 << QList<int>{0, 0, 0, 3};
        QTest::newRow("new entry, flagged")
            << QByteArray("new") << true << 7 << K::New << QList<int>{} << QList<int>{1, 0, 0, 3};
        QTest::newRow("new entry, not flagged (a load)")
            << QByteArray("new unflagged") << true << 7 << K::New << QList<int>{}
            << QList<int>{1, 0, 0, 3};
        QTest::newRow("number changed, not flagged")
            << QByteArray("number") << true << 4 << K::Changed << QList<int>{Nummer1}
            << QList<int>{0, 1, 0, 2};
        QTest::newRow("name and group changed")
            << QByteArray("name group") << true << 4 << K::Changed << QList<int>{Name, Gruppe}
            << QList<int>{0, 1, 0, 2};
        QTest::newRow("an additional line is not the handset's")
            << QByteArray("note") << true << 4 << K::Unchanged << QList<int>{}
            << QList<int>{0, 0, 0, 3};
        QTest::newRow("flagged but equal: written again")
            << QByteArray("flag") << true << 4 << K::Changed << QList<int>{}
            << QList<int>{0, 1, 0, 2};
        QTest::newRow("marked for deletion") << QByteArray("delete") << true << 4 << K::Deleted
                                             << QList<int>{} << QList<int>{0, 0, 1, 2};
        QTest::newRow("gone from the window (a load of another file)")
            << QByteArray("load without") << true << 4 << K::Deleted << QList<int>{}
            << QList<int>{0, 0, 1, 2};
        QTest::newRow("everything, unticked")
            << QByteArray() << false << 4 << K::Changed << QList<int>{} << QList<int>{0, 3, 0, 0};
    }
    void planOfOneChange()
    {
        QFETCH(QByteArray, change);
        QFETCH(bool, onlyChanged);
        QFETCH(int, location);
        QFETCH(PlanItem::Kind, kind);
        QFETCH(QList<int>, fields);
        QFETCH(QList<int>, counts);

        const HandsetImage image = readHandset();
        RecordStore store = image.entries();
        for (int record = 1; record <= kRecordCount; ++record)
            if (store.holdsEntry(record))
                store.setField(record, ChangedFlag, kChangedNo);
        if (change == "new")
            putRecord(store, 7, "Dora", "0401", "JA");
        else if (change == "new unflagged")
            putRecord(store, 7, "Dora", "0401", "NEIN");
        else if (change == "number")
            store.setField(4, Nummer1, "0999");
        else if (change == "name group") {
            store.setField(4, Name, "Berta");
            store.setField(4, Gruppe, "Familie");
        } else if (change == "note")
            store.setField(4, Zusatz1, "Geburtstag");
        else if (change == "flag")
            store.setField(4, ChangedFlag, kChangedYes);
        else if (change == "delete")
            store.setField(4, Name, kDeletionMarker);
        const bool loaded = change == "load without";
        if (loaded)
            store.clearEntry(4);

        const WritePlan plan = planWrite(store, image, onlyChanged, loaded);
        QVERIFY(plan.handsetKnown);
        const PlanItem* item = itemAt(plan, location);
        QVERIFY(item);
        QCOMPARE(item->kind, kind);
        QCOMPARE(item->fields, fields);
        QCOMPARE(
            (QList<int>{plan.newCount, plan.changedCount, plan.deletedCount, plan.unchangedCount}),
            counts);
        QCOMPARE(plan.isEmpty(), counts[0] + counts[1] + counts[2] == 0);
        // What the questions before closing count: a flag alone loses nothing.
        const bool lost =
            kind == PlanItem::Kind::New || kind == PlanItem::Kind::Deleted || !fields.isEmpty();
        QCOMPARE(entriesUnlikeHandset(store, image, loaded), lost ? 1 : 0);
        if (kind == PlanItem::Kind::Deleted)
            QCOMPARE(item->name, QByteArray("Bert")); // what the handset loses
    }

    // Never read: every live record is written. A deletion goes to the
    // handset only from a loaded phonebook; the window's own entries never
    // reached it, so whatever it holds at their locations is another's.
    void neverReadWritesEveryLiveRecordAndTheChosenDeletions()
    {
        RecordStore store;
        putRecord(store, 3, "Anna");
        putRecord(store, 4, "Bert", "0301", "JA");
        putRecord(store, 9, kDeletionMarker.toByteArray());
        for (bool onlyChanged : {true, false}) {
            for (bool loaded : {true, false}) {
                const WritePlan plan = planWrite(store, HandsetImage(), onlyChanged, loaded);
                QVERIFY(!plan.handsetKnown);
                QCOMPARE(plan.items.size(), 3);
                QCOMPARE(plan.newCount, 2);
                QCOMPARE(plan.deletedCount, loaded ? 1 : 0);
                QCOMPARE(plan.items[2].isSent(), loaded);
                QVERIFY(!plan.isEmpty());
            }
        }
    }

    // A location the window does not know is deleted only when a loaded
    // file or snapshot stands for the whole handset; the user may keep them.
    void unnamedEntriesGoOnlyWithALoad()
    {
        const HandsetImage image = readHandset();
        RecordStore store;
        putRecord(store, 7, "Dora", "0401", "JA");
        const WritePlan own = planWrite(store, image, true);
        QCOMPARE((QList<int>{own.newCount, own.deletedCount}), (QList<int>{1, 0}));
        QCOMPARE(entriesUnlikeHandset(store, image), 1);

        const WritePlan loaded = planWrite(store, image, true, true);
        QCOMPARE((QList<int>{loaded.newCount, loaded.deletedCount}), (QList<int>{1, 3}));
        QStringList names;
        for (const PlanItem& item : loaded.items)
            if (item.deletesUnnamed())
                names << QString::fromLatin1(item.name);
        QCOMPARE(names, (QStringList{"Anna", "Bert", "Carl"}));
        QCOMPARE(entriesUnlikeHandset(store, image, true), 4);

        const WritePlan kept = keepingUnnamed(loaded);
        QCOMPARE((QList<int>{kept.newCount, kept.deletedCount, kept.unchangedCount}),
                 (QList<int>{1, 0, 3}));
        QCOMPARE(kept.items.size(), 1);
    }

    // The plan's lines: one changed field on the line, several below it one
    // a line, an emptied field named as such, and a new entry moved aside.
    void planLines_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one field")
            << QByteArray("number")
            << QStringList{"  4  Bert  geändert: Nummer 1 0301234567 → 0999"};
        QTest::newRow("two fields, one a line")
            << QByteArray("name group")
            << QStringList{"  4  Berta  geändert:\n      Name Bert → Berta\n"
                           "      Gruppe (leer) → Familie"};
        QTest::newRow("emptied") << QByteArray("no number")
                                 << QStringList{
                                        "  4  Bert  geändert:\n      Nummernart 1 Mobil → (leer)\n"
                                        "      Nummer 1 0301234567 → (leer)"};
        QTest::newRow("moved aside") << QByteArray("moved")
                                     << QStringList{"  7  Dora  neu; Speicherplatz 3 hält auf dem "
                                                    "Handy schon Anna"};
    }
    void planLines()
    {
        QFETCH(QByteArray, change);
        QFETCH(QStringList, lines);
        const HandsetImage image = readHandset();
        RecordStore store = image.entries();
        if (change == "number")
            store.setField(4, Nummer1, "0999");
        else if (change == "name group") {
            store.setField(4, Name, "Berta");
            store.setField(4, Gruppe, "Familie");
        } else if (change == "no number") {
            store.setField(4, Nummernart1, "");
            store.setField(4, Nummer1, "");
        }
        WritePlan plan = planWrite(store, image, true);
        if (change == "moved") {
            putRecord(store, 7, "Dora", "0401", "JA");
            plan = planWrite(store, image, true);
            for (PlanItem& item : plan.items)
                item.movedFrom = item.record == 7 ? 3 : 0;
        }
        QCOMPARE(q7::planLines(plan, store, image, LanguageFile()), lines);
    }

    // After an erase the image is empty: with "only changed" every live
    // record is written, and nothing is said to be unchanged.
    void afterAnEraseEveryLiveRecordIsNew()
    {
        HandsetImage image = readHandset();
        RecordStore store = image.entries();
        image.setEmpty();
        const WritePlan plan = planWrite(store, image, true);
        QCOMPARE(plan.newCount, 3);
        QCOMPARE(plan.unchangedCount, 0);
    }

    // Read, erase, write with "only changed" ticked: the handset holds every
    // entry again, though reading left every flag at "NEIN".
    void eraseThenWriteRestoresEveryEntry()
    {
        SimFixture f;
        for (int location : {2, 9, 501, 640})
            f.sim->setEntry(location, simEntry(location, "E" + QByteArray::number(location)));
        HandsetImage image;
        RecordStore store = readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore());
        image.takeRead(store);
        TransferResult erased(TransferResult::Operation::Erase);
        EraseHandset(f.exchange, LanguageFile(), f.host, image, erased);
        QVERIFY(f.sim->phonebook().isEmpty());
        QCOMPARE(image.entryCount(), 0);
        QCOMPARE(entriesUnlikeHandset(store, image), 4); // "Beenden" asks now

        const WritePlan plan = planWrite(store, image, true);
        QCOMPARE(plan.newCount, 4);
        TransferResult result(TransferResult::Operation::Write);
        writePlanned(f.exchange, LanguageFile(), f.host, store, image, plan, true, result);
        QVERIFY(result.succeeded());
        for (int location : {2, 9, 501, 640})
            QCOMPARE(f.sim->entry(location).value(1), "E" + QByteArray::number(location));
        QVERIFY(planWrite(store, image, true).isEmpty());
    }

    // The plan against q7sim: what it lists is what the write sends, and
    // the handset ends up holding what the window shows.
    void writeCarriesOutThePlan()
    {
        SimFixture f;
        for (int location : {3, 4, 6})
            f.sim->setEntry(location, simEntry(location, "Alt" + QByteArray::number(location)));
        HandsetImage image;
        image.takeRead(readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
        QCOMPARE(image.entryCount(), 3);

        RecordStore store = image.entries();
        store.setField(3, Nummer1, "0999");         // changed
        store.clearEntry(4);                        // gone from a loaded file: deleted
        putRecord(store, 8, "Neu", "0401", "NEIN"); // new, not flagged
        const WritePlan plan = planWrite(store, image, true, true);
        QCOMPARE(
            (QList<int>{plan.newCount, plan.changedCount, plan.deletedCount, plan.unchangedCount}),
            (QList<int>{1, 1, 1, 1}));

        f.sim->clearCommands();
        TransferResult result(TransferResult::Operation::Write);
        writePlanned(f.exchange, LanguageFile(), f.host, store, image, plan, true, result);
        QVERIFY(result.succeeded());
        QCOMPARE(f.sent("AT-SCEW=").size(), 2);
        QCOMPARE(f.sent("at-sced="), QList<QByteArray>{"at-sced=4"});
        QVERIFY(f.sent("at-scer=6").isEmpty()); // the unchanged one is not touched

        HandsetImage reread;
        reread.takeRead(readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
        QCOMPARE(image.entries(), reread.entries());
        QVERIFY(planWrite(store, image, true).isEmpty());
    }

    void fullHandsetMemoryNamesTheRecordAndGoesOn()
    {
        SimFixture f;
        for (int location = 1; location <= kLastMemoryRecord; ++location)
            f.sim->setEntry(location, simEntry(location, "Voll"));
        RecordStore store;
        putRecord(store, 2, "Zwei", "0301", "JA");
        // Record 3 names location 2 too: it needs a new location and gets none.
        putRecord(store, 3, "Drei", "0302", "JA");
        store.setField(3, Speicherplatz, "2");
        putRecord(store, 505, "Sim", "0303", "JA");
        HandsetImage image;
        TransferResult result(TransferResult::Operation::Write);
        writePlanned(f.exchange, LanguageFile(), f.host, store, image, planByFlags(store, true),
                     true, result);
        // Both claim location 2, so both need a location of their own.
        QCOMPARE(result.noRoom, (QList<int>{2, 3}));
        QCOMPARE(result.failedRecords, (QList<int>{2, 3}));
        QCOMPARE(result.written, 1);
        QCOMPARE(f.sim->entry(2).value(1), QByteArray("Voll"));
        QCOMPARE(f.sim->entry(505).value(1), QByteArray("Sim"));
        const QString report = transferReport(store, result, LanguageFile()).join(u'\n');
        QVERIFY2(report.contains(QStringLiteral(
                     "kein freier Speicherplatz im Handyspeicher: Zwei (2), Drei (3)")),
                 qPrintable(report));
    }

    void checkAfterWritingFindsACutName()
    {
        q7sim::SimOptions options;
        options.nameKeptBy = 4;
        SimFixture f(options);
        f.sim->setEntry(3, simEntry(3, "Anna"));
        HandsetImage image;
        image.takeRead(readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
        RecordStore store = image.entries();
        store.setField(3, Name, "Annabella");
        putRecord(store, 5, "Emil", "0401", "JA");

        TransferResult result(TransferResult::Operation::Write);
        f.sim->clearCommands();
        writePlanned(f.exchange, LanguageFile(), f.host, store, image,
                     planWrite(store, image, true), true, result);
        QCOMPARE(result.written, 2);
        QCOMPARE(result.differences.size(), 1);
        QCOMPARE(result.differences[0].record, 3);
        QCOMPARE(result.differences[0].fields, QList<int>{Name});
        QCOMPARE(image.entries().field(3, Name), QByteArray("Anna")); // what was read back
        QCOMPARE(image.entries().field(5, Name), QByteArray("Emil"));
        // One location read each, after the last write: the read told what
        // location 3 holds, so none before writing it.
        QCOMPARE(f.sent("at-scer=3").size(), 1);
        QVERIFY(transferReport(store, result, LanguageFile())
                    .join(u'\n')
                    .contains(QStringLiteral("Annabella (Speicherplatz 3) hält das Handy anders: "
                                             "Name")));
        // The handset as last seen holds the cut name: the next plan writes it again.
        QCOMPARE(itemAt(planWrite(store, image, true), 3)->fields, QList<int>{Name});
    }

    void stopMidWrite()
    {
        SimFixture f;
        RecordStore store;
        for (int record = 1; record <= 6; ++record)
            putRecord(store, record, "Nr" + QByteArray::number(record), "0301", "JA");
        CountingHost host;
        host.stopAfter = 3;
        HandsetImage image;
        image.setEmpty();
        TransferResult result(TransferResult::Operation::Write);
        writePlanned(f.exchange, LanguageFile(), host, store, image, planWrite(store, image, true),
                     true, result);
        QVERIFY(result.stopped);
        QCOMPARE(result.written, 3);
        for (int location = 1; location <= 6; ++location)
            QCOMPARE(f.sim->entry(location).isEmpty(), location > 3);
        QCOMPARE(image.entryCount(), 3);
        QCOMPARE(transferReport(store, result, LanguageFile()),
                 QStringList{QStringLiteral("Angehalten nach 3 von 6; die übrigen wurden nicht "
                                            "bearbeitet")});
        // The rest is still to write.
        QCOMPARE(planWrite(store, image, true).newCount, 3);
    }

    void stoppedReadThrowsAndEraseKeepsTheImageTrue()
    {
        SimFixture f;
        for (int location : {1, 2, 3})
            f.sim->setEntry(location, simEntry(location, "X"));
        CountingHost host;
        host.stopAfter = 1;
        QVERIFY_THROWS_EXCEPTION(EOperationStopped,
                                 readPhonebook(f.exchange, LanguageFile(), host, RecordStore()));

        HandsetImage image;
        image.takeRead(readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
        host.asked = 0;
        host.stopAfter = 2;
        TransferResult result(TransferResult::Operation::Erase);
        EraseHandset(f.exchange, LanguageFile(), host, image, result);
        QVERIFY(result.stopped);
        QCOMPARE(image.entryCount(), 1);
        QVERIFY(image.holdsEntry(3));
        QVERIFY(!f.sim->entry(3).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWritePlan)
#include "tst_writeplan.moc"
