// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the phonebook to the simulated handset, and erasing it.

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/HandsetImage.h"
#include "phonebook/PhonebookReader.h"
#include "phonebook/PhonebookWriter.h"
#include "support/SimFixture.h"

#include <QTest>

using namespace q7;

namespace {

// A record as the new-entry dialog makes it.
void putRecord(RecordStore& store, int record, const QByteArray& name,
               const QByteArray& changed = "JA", const QByteArray& location = {})
{
    store.setField(record, Speicherplatz,
                   location.isEmpty() ? QByteArray::number(record) : location);
    store.setField(record, Name, name);
    store.setField(record, NummerTag1, "TELNO");
    store.setField(record, Nummernart1, "Mobil");
    store.setField(record, Nummer1, "0123456789");
    store.setField(record, NummerTag2, "TELNO");
    store.setField(record, NummerTag3, "TELNO");
    store.setField(record, ZusatzTag1, "CUSTOM");
    store.setField(record, ZusatzTag2, "CUSTOM");
    store.setField(record, ChangedFlag, changed);
}

TransferResult write(SimFixture& f, RecordStore& store, bool onlyChanged = true)
{
    TransferResult result(TransferResult::Operation::Write);
    writePhonebook(f.exchange, LanguageFile(), f.host, store, onlyChanged, result);
    return result;
}

TransferResult erase(SimFixture& f)
{
    TransferResult result(TransferResult::Operation::Erase);
    EraseHandset(f.exchange, LanguageFile(), f.host, result);
    return result;
}

HandsetImage readImage(SimFixture& f)
{
    HandsetImage image;
    image.takeRead(readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
    return image;
}

// The handset holds Anna at 3 and Carl at 505, and the window read it.
HandsetImage readAnnaAndCarl(SimFixture& f)
{
    f.sim->setEntry(3, simEntry(3, "Anna"));
    f.sim->setEntry(505, simEntry(505, "Carl"));
    return readImage(f);
}

// What the write plans with "only changed" ticked, carried out.
TransferResult writePlan(SimFixture& f, RecordStore& store, HandsetImage& image, bool verify)
{
    TransferResult result(TransferResult::Operation::Write);
    writePlanned(f.exchange, LanguageFile(), f.host, store, image, planWrite(store, image, true),
                 verify, result);
    return result;
}

int copiesOf(const q7sim::SimHandset& sim, const QByteArray& name)
{
    int copies = 0;
    for (int location = 1; location <= kRecordCount; ++location)
        copies += sim.entry(location).value(1) == name;
    return copies;
}

} // namespace

class TestWriter : public QObject
{
    Q_OBJECT

private slots:
    void writeCommandOfAnEntry()
    {
        RecordStore store;
        putRecord(store, 12, encodePc(u"Jörg"));
        store.setField(12, Gruppe, encodePc(u"Familie"));
        QCOMPARE(writeCommand(store, 12, 12),
                 QByteArray("AT-SCEW=12,\"J|rg\",\"Familie\",\"TELNO\",\"Mobil\",\"0123456789\","
                            "\"TELNO\",,,\"TELNO\",,,\"CUSTOM\",,,\"CUSTOM\",,\r\n"));
        // The Gruppe goes as stored; field 18 in the handset's set like the rest.
        store.setField(12, Gruppe, encodePc(u"Büro"));
        store.setField(12, Feld18, encodePc(u"ä"));
        const QByteArray line = writeCommand(store, 12, 12);
        QVERIFY(line.contains(",\"B\xfcro\","));
        QVERIFY(line.endsWith(",\"{\"\r\n"));
    }

    void locationsOutsideTheRecordsRangeAreNotSent_data()
    {
        QTest::addColumn<int>("record");
        QTest::addColumn<QByteArray>("speicherplatz");
        QTest::addColumn<int>("location");
        QTest::newRow("memory") << 7 << QByteArray("7") << 7;
        QTest::newRow("moved by the handset") << 7 << QByteArray("3") << 3;
        QTest::newRow("SIM") << 520 << QByteArray("520") << 520;
        QTest::newRow("memory record on the SIM") << 7 << QByteArray("520") << 0;
        QTest::newRow("SIM record in memory") << 520 << QByteArray("20") << 0;
        QTest::newRow("not a number") << 7 << QByteArray("sieben") << 0;
        QTest::newRow("empty") << 7 << QByteArray() << 0;
    }
    void locationsOutsideTheRecordsRangeAreNotSent()
    {
        QFETCH(int, record);
        QFETCH(QByteArray, speicherplatz);
        QFETCH(int, location);
        RecordStore store;
        store.setField(record, Speicherplatz, speicherplatz);
        QCOMPARE(recordLocation(store, record).value_or(0), location);
    }

    void writesOnlyChangedRecordsWhenAsked_data()
    {
        QTest::addColumn<bool>("onlyChanged");
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::newRow("only changed") << true << QList<QByteArray>{"AT-SCEW=503"};
        QTest::newRow("all") << false << QList<QByteArray>{"AT-SCEW=502", "AT-SCEW=503"};
    }
    void writesOnlyChangedRecordsWhenAsked()
    {
        QFETCH(bool, onlyChanged);
        QFETCH(QList<QByteArray>, writes);
        SimFixture f;
        RecordStore store;
        putRecord(store, 503, "Changed", "JA");
        putRecord(store, 502, "Unchanged", "NEIN");
        store.setField(504, ChangedFlag, "JA"); // no Name: never sent
        const TransferResult result = write(f, store, onlyChanged);
        QVERIFY(result.succeeded());
        QList<QByteArray> sent;
        for (const QByteArray& command : f.sent("AT-SCEW="))
            sent << command.left(command.indexOf(','));
        QCOMPARE(sent, writes);
        QCOMPARE(f.sim->entry(503).value(1), QByteArray("Changed"));
        QCOMPARE(f.host.statuses.last(), QStringLiteral("Ruhezustand"));
    }

    void commandsOfANewAndAnExistingRecordInOrder()
    {
        SimFixture f;
        f.sim->setEntry(8, simEntry(8, "Acht"));
        RecordStore store;
        putRecord(store, 7, "Sieben");
        putRecord(store, 8, "Acht");
        QVERIFY(write(f, store).succeeded());
        const QByteArray written7 = writeCommand(store, 7, 7).chopped(2);
        const QByteArray written8 = writeCommand(store, 8, 8).chopped(2);
        QCOMPARE(f.sim->commands(),
                 (QList<QByteArray>{"atz",
                                    // a placeholder an interrupted write left
                                    "at+cpbs=\"ME\"", "at+cpbf=\"HilfsDummy\"",
                                    // 7 is empty: its placeholder first
                                    "atz", "at-scer=7", "at+cpbs=\"ME\"",
                                    "at+cpbw=7,\"123456\",129,\"HilfsDummy\"", written7,
                                    "at+cpbf=\"HilfsDummy\"",
                                    // 8 is there: written over, no placeholder to look for
                                    "atz", "at-scer=8", written8}));
    }

    void newMemoryRecordGetsItsPlaceholderAtItsOwnLocation()
    {
        SimFixture f;
        RecordStore store;
        putRecord(store, 7, encodePc(u"Jörg"));
        QVERIFY(write(f, store).succeeded());
        QVERIFY(f.sim->commands().contains("at+cpbw=7,\"123456\",129,\"HilfsDummy\""));
        QVERIFY(f.sent("AT-SCEW=").value(0).startsWith("AT-SCEW=7,\"J|rg\""));
        QCOMPARE(f.sim->entry(7).value(1), QByteArray("J|rg"));
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
        QCOMPARE(store.field(7, Speicherplatz), QByteArray("7"));
    }

    void refusedIndexedPlaceholderFallsBackToAFreeLocation()
    {
        q7sim::SimOptions options;
        options.refuseIndexedMeWrite = true;
        SimFixture f(options);
        f.sim->setEntry(1, simEntry(1, "Eins"));
        f.sim->setEntry(2, simEntry(2, "Zwei"));
        RecordStore store;
        putRecord(store, 7, "Sieben");
        QVERIFY(write(f, store).succeeded());
        QCOMPARE(store.field(7, Speicherplatz), QByteArray("3"));
        QCOMPARE(store.field(7, Name), QByteArray("Sieben")); // still record 7
        QVERIFY(f.sent("AT-SCEW=").value(0).startsWith("AT-SCEW=3,"));
        QCOMPARE(f.sim->entry(3).value(1), QByteArray("Sieben"));

        // A second write finds the entry where it went and leaves one copy.
        QVERIFY(write(f, store).succeeded());
        QCOMPARE(copiesOf(*f.sim, "Sieben"), 1);
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
    }

    // Record 7 went to location 3 in an earlier write, which leaves record 3
    // free for a new entry that names location 3 too.
    void aNewEntryWhereAMovedRecordWentKeepsBoth_data()
    {
        QTest::addColumn<bool>("movedDeleted");
        QTest::addColumn<bool>("newDeleted");
        QTest::addColumn<bool>("writesRefused");
        QTest::addColumn<QList<int>>("failed");
        QTest::addColumn<int>("newCopies");
        QTest::addColumn<int>("movedCopies");
        QTest::newRow("moved record kept") << false << false << false << QList<int>{} << 1 << 1;
        QTest::newRow("moved record deleted") << true << false << false << QList<int>{} << 1 << 0;
        QTest::newRow("moved record deleted, writes refused")
            << true << false << true << QList<int>{3} << 0 << 0;
        QTest::newRow("new entry deleted before it was written, writes refused")
            << false << true << true << QList<int>{7} << 0 << 1;
    }
    void aNewEntryWhereAMovedRecordWentKeepsBoth()
    {
        QFETCH(bool, movedDeleted);
        QFETCH(bool, newDeleted);
        QFETCH(bool, writesRefused);
        QFETCH(QList<int>, failed);
        QFETCH(int, newCopies);
        QFETCH(int, movedCopies);
        q7sim::SimOptions options;
        options.refuseIndexedMeWrite = true;
        SimFixture f(options);
        f.sim->setEntry(1, simEntry(1, "Eins"));
        f.sim->setEntry(2, simEntry(2, "Zwei"));
        RecordStore store;
        putRecord(store, 1, "Eins", "NEIN");
        putRecord(store, 2, "Zwei", "NEIN");
        putRecord(store, 7, "Sieben");
        QVERIFY(write(f, store).succeeded());
        QCOMPARE(store.field(7, Speicherplatz), QByteArray("3"));

        q7sim::SimOptions second;
        second.refuseExtendedWrite = writesRefused;
        f.sim->setOptions(second);
        // Written and confirmed, record 7 is no longer changed; edited again
        // (or deleted, which marks it too), it goes with the next write.
        QVERIFY(!store.isChanged(7));
        store.setField(7, ChangedFlag, kChangedYes);
        if (movedDeleted)
            store.setField(7, Name, kDeletionMarker);
        QCOMPARE(store.FindFreeMemoryRecord(), 3);
        putRecord(store, 3, "Drei");
        if (newDeleted)
            store.setField(3, Name, kDeletionMarker);
        QCOMPARE(write(f, store).failedRecords, failed);

        QCOMPARE(copiesOf(*f.sim, "Drei"), newCopies);
        QCOMPARE(copiesOf(*f.sim, "Sieben"), movedCopies);
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
        for (int record : {3, 7}) {
            if (!store.isLive(record) || failed.contains(record))
                continue;
            const std::optional<int> location = recordLocation(store, record);
            QVERIFY(location);
            QCOMPARE(f.sim->entry(*location).value(1), store.field(record, Name));
        }
    }

    void aRefusedWriteDoesNotMoveTheRecord()
    {
        q7sim::SimOptions options;
        options.refuseIndexedMeWrite = true;
        options.refuseExtendedWrite = true;
        SimFixture f(options);
        f.sim->setEntry(1, simEntry(1, "Eins"));
        RecordStore store;
        putRecord(store, 7, "Sieben");
        QCOMPARE(write(f, store).failedRecords, QList<int>{7});
        // Location 2 held the placeholder only, and it is gone again.
        QCOMPARE(store.field(7, Speicherplatz), QByteArray("7"));
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
    }

    // Locations the read returned are written over with no read before;
    // a new handset-memory entry still reads its location and gets it
    // through the placeholder.
    void noLocationReadBeforeWritingWhatTheReadReturned_data()
    {
        QTest::addColumn<bool>("verify");
        QTest::newRow("checked") << true;
        QTest::newRow("unchecked") << false;
    }
    void noLocationReadBeforeWritingWhatTheReadReturned()
    {
        QFETCH(bool, verify);
        SimFixture f;
        HandsetImage image = readAnnaAndCarl(f);
        RecordStore store = image.entries();
        store.setField(3, Nummer1, "0999");
        store.setField(505, Nummer1, "0888");
        putRecord(store, 8, "Neu");
        f.sim->clearCommands();
        QVERIFY(writePlan(f, store, image, verify).succeeded());

        const QList<QByteArray> commands = f.sim->commands();
        for (int location : {3, 505}) {
            const qsizetype write =
                commands.indexOf(writeCommand(store, location, location).chopped(2));
            QVERIFY(write > 0);
            QCOMPARE(commands[write - 1], QByteArray("atz"));
            // The check's read only.
            QCOMPARE(f.sent("at-scer=" + QByteArray::number(location)).size(), verify ? 1 : 0);
        }
        QCOMPARE(f.sent("at-scer=8").size(), verify ? 2 : 1);
        QVERIFY(commands.contains("at+cpbw=8,\"123456\",129,\"HilfsDummy\""));
        QCOMPARE(f.sim->entry(3).value(5), QByteArray("0999"));
        QCOMPARE(f.sim->entry(505).value(5), QByteArray("0888"));
        QCOMPARE(f.sim->entry(8).value(1), QByteArray("Neu"));
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
    }

    // The handset's entry was deleted on its keypad after the read: the
    // write is refused, and the entry gets there as to a location not known.
    void locationEmptiedAfterTheReadStillGetsItsEntry_data()
    {
        QTest::addColumn<int>("location");
        QTest::addColumn<int>("locationReads"); // the fallback's and the check's
        QTest::newRow("handset memory") << 3 << 2;
        QTest::newRow("SIM") << 505 << 1; // the SIM takes a write to an empty position
    }
    void locationEmptiedAfterTheReadStillGetsItsEntry()
    {
        QFETCH(int, location);
        QFETCH(int, locationReads);
        SimFixture f;
        HandsetImage image = readAnnaAndCarl(f);
        RecordStore store = image.entries();
        store.setField(location, Nummer1, "0999");
        f.sim->clearEntry(location);
        f.sim->clearCommands();
        QVERIFY(writePlan(f, store, image, true).succeeded());
        QCOMPARE(f.sim->entry(location).value(1), store.field(location, Name));
        QCOMPARE(f.sim->entry(location).value(5), QByteArray("0999"));
        QCOMPARE(f.sent("at-scer=" + QByteArray::number(location)).size(), locationReads);
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
        QCOMPARE(image.entries(), readImage(f).entries());
    }

    // Where the window knew no entry, the handset holds one: it stays, and
    // the window's new entry goes to a free location, which the report names.
    void entryTheWindowDidNotKnowStays_data()
    {
        QTest::addColumn<int>("location");
        QTest::addColumn<bool>("read");        // before the handset's entry came
        QTest::addColumn<QByteArray>("there"); // the handset's entry there
        QTest::addColumn<int>("target");
        QTest::newRow("SIM, never read") << 510 << false << QByteArray("Bert") << 512;
        QTest::newRow("SIM, read before") << 510 << true << QByteArray("Bert") << 512;
        QTest::newRow("memory, never read") << 7 << false << QByteArray("Bert") << 2;
        QTest::newRow("memory, read before") << 7 << true << QByteArray("Bert") << 2;
        // A file loaded into a window that never read names what the handset holds.
        QTest::newRow("SIM, the same name") << 510 << false << QByteArray("Neu") << 510;
        QTest::newRow("memory, the same name") << 7 << false << QByteArray("Neu") << 7;
    }
    void entryTheWindowDidNotKnowStays()
    {
        QFETCH(int, location);
        QFETCH(bool, read);
        QFETCH(QByteArray, there);
        QFETCH(int, target);
        SimFixture f;
        f.sim->setEntry(1, simEntry(1, "Eins"));
        f.sim->setEntry(511, simEntry(511, "Elf"));
        HandsetImage image;
        if (read)
            image = readImage(f);
        RecordStore store = image.entries();
        f.sim->setEntry(location, simEntry(location, there, "0111"));
        putRecord(store, location, "Neu");

        const TransferResult result = writePlan(f, store, image, true);
        QVERIFY(result.succeeded());
        QCOMPARE(f.sim->entry(target).value(1), QByteArray("Neu"));
        QCOMPARE(f.sim->entry(target).value(5), QByteArray("0123456789"));
        QCOMPARE(copiesOf(*f.sim, "Neu"), 1);
        for (const QByteArray& kept : {QByteArray("Eins"), QByteArray("Elf"), there})
            QCOMPARE(copiesOf(*f.sim, kept), 1);
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
        // The record is where its entry went: a SIM record is its position.
        const int record = isSimRecord(location) ? target : location;
        QCOMPARE(store.field(record, Name), QByteArray("Neu"));
        QCOMPARE(recordLocation(store, record).value_or(0), target);
        if (record != location)
            QVERIFY(!store.holdsEntry(location));
        if (read)
            QCOMPARE(image.entries(), readImage(f).entries());

        const QString report = transferReport(store, result, LanguageFile()).join(u'\n');
        if (target == location) {
            QVERIFY(result.moved.isEmpty());
            QCOMPARE(report, QString());
        } else {
            QCOMPARE(result.moved.size(), 1);
            QCOMPARE(report, QStringLiteral("Neu steht jetzt auf Speicherplatz %1, denn "
                                            "Speicherplatz %2 hält den Eintrag „Bert“, den das "
                                            "Fenster nicht kannte")
                                 .arg(target)
                                 .arg(location));
        }
    }

    void noFreeSimPositionNamesTheRecord()
    {
        SimFixture f;
        for (int position = 510; position <= 600; ++position)
            f.sim->setEntry(position, simEntry(position, "Voll"));
        RecordStore store;
        putRecord(store, 510, "Neu");
        const TransferResult result = write(f, store);
        QCOMPARE(result.failedRecords, QList<int>{510});
        QCOMPARE(result.noSimRoom, QList<int>{510});
        QCOMPARE(f.sim->entry(510).value(1), QByteArray("Voll"));
        QVERIFY(transferReport(store, result, LanguageFile())
                    .contains(QStringLiteral("Nicht geschrieben, kein freier Platz auf der "
                                             "SIM-Karte: Neu (510)")));
    }

    // After a write the window holds what the handset does: a record the
    // handset confirmed (and read back as sent, with the check) is no longer
    // changed, and a second write has nothing to send.
    void aSecondWriteSendsNothing_data()
    {
        QTest::addColumn<bool>("verify");
        QTest::addColumn<int>("nameKeptBy"); // the handset cuts names: 0 none
        QTest::addColumn<bool>("changedAfter");
        QTest::newRow("checked") << true << 0 << false;
        QTest::newRow("unchecked") << false << 0 << false;
        QTest::newRow("checked, the handset cut the name") << true << 4 << true;
    }
    void aSecondWriteSendsNothing()
    {
        QFETCH(bool, verify);
        QFETCH(int, nameKeptBy);
        QFETCH(bool, changedAfter);
        q7sim::SimOptions options;
        options.nameKeptBy = nameKeptBy;
        SimFixture f(options);
        HandsetImage image = readAnnaAndCarl(f);
        RecordStore store = image.entries();
        store.setField(3, Name, "Annabella");
        store.setField(3, ChangedFlag, kChangedYes);
        putRecord(store, 520, "Neu");
        writePlan(f, store, image, verify);
        QCOMPARE(store.isChanged(3), changedAfter);
        QVERIFY(!store.isChanged(520));

        f.sim->clearCommands();
        const WritePlan plan = planWrite(store, image, true);
        QCOMPARE(plan.isEmpty(), !changedAfter);
        writePlan(f, store, image, verify);
        QCOMPARE(f.sent("AT-SCEW=").size(), changedAfter ? 1 : 0);
    }

    void simRecordIsWrittenWithoutPlaceholder()
    {
        SimFixture f;
        RecordStore store;
        putRecord(store, 520, "Sim");
        QVERIFY(write(f, store).succeeded());
        QVERIFY(f.sent("at+cpbw=").isEmpty());
        QCOMPARE(f.sim->entry(520).value(1), QByteArray("Sim"));
    }

    void markedRecordsAreDeletedAndEmptied()
    {
        SimFixture f;
        f.sim->setEntry(5, simEntry(5, "Weg"));
        RecordStore store;
        putRecord(store, 5, kDeletionMarker.toByteArray());
        putRecord(store, 6, kDeletionMarker.toByteArray()); // the handset holds nothing there
        QVERIFY(write(f, store).succeeded());
        QCOMPARE(f.sent("at-sced="), QList<QByteArray>{"at-sced=5"});
        QVERIFY(f.sim->entry(5).isEmpty());
        // Neither is deleted again by a later write.
        QVERIFY(!store.holdsEntry(5));
        QVERIFY(!store.holdsEntry(6));
        QVERIFY(f.host.statuses.contains(QStringLiteral("Löschen von Datensatz 5")));
    }

    void refusedWritesAreReported()
    {
        q7sim::SimOptions options;
        options.refuseExtendedWrite = true;
        SimFixture f(options);
        RecordStore store;
        putRecord(store, 7, "Sieben");
        putRecord(store, 505, "Fuenf");
        const TransferResult result = write(f, store);
        QCOMPARE(result.failedRecords, (QList<int>{7, 505}));
        QCOMPARE(f.host.statuses.last(),
                 QStringLiteral("2 Datensätze wurden nicht übertragen: 7, 505"));
        // The placeholder made for record 7 does not stay behind.
        QCOMPARE(copiesOf(*f.sim, "HilfsDummy"), 0);
    }

    void failureSummaryNamesWhatFailed_data()
    {
        QTest::addColumn<TransferResult::Operation>("operation");
        QTest::addColumn<QList<int>>("failed");
        QTest::addColumn<QString>("summary");
        using Op = TransferResult::Operation;
        QTest::newRow("one record") << Op::Write << QList<int>{7}
                                    << QStringLiteral("1 Datensatz wurde nicht übertragen: 7");
        QTest::newRow("two records")
            << Op::Write << QList<int>{7, 505}
            << QStringLiteral("2 Datensätze wurden nicht übertragen: 7, 505");
        QTest::newRow("one location") << Op::Erase << QList<int>{2}
                                      << QStringLiteral("1 Speicherplatz wurde nicht gelöscht: 2");
        QTest::newRow("two locations")
            << Op::Erase << QList<int>{2, 505}
            << QStringLiteral("2 Speicherplätze wurden nicht gelöscht: 2, 505");
    }
    void failureSummaryNamesWhatFailed()
    {
        QFETCH(TransferResult::Operation, operation);
        QFETCH(QList<int>, failed);
        QFETCH(QString, summary);
        TransferResult result(operation);
        result.failedRecords = failed;
        QCOMPARE(failureSummary(result, LanguageFile()), summary);
    }

    void findReplyLocation_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("location");
        QTest::addColumn<QString>("offending");
        QTest::newRow("found") << QByteArray(
                                      "\r\n+CPBF: 3,\"123456\",129,\"HilfsDummy\"\r\n\r\nOK\r\n")
                               << 3 << QString();
        QTest::newRow("after an echo")
            << QByteArray("at+cpbf=\"HilfsDummy\"\r\r\n+CPBF: 12,\"123456\",129,\"HilfsDummy\"\r\n")
            << 12 << QString();
        QTest::newRow("placeholder never made")
            << QByteArray("\r\nERROR\r\n") << 0 << QStringLiteral("ERROR");
        QTest::newRow("nothing found, after an echo")
            << QByteArray("at+cpbf=\"HilfsDummy\"\r\r\nOK\r\n") << 0
            << QStringLiteral("at+cpbf=\"HilfsDummy\" OK");
        QTest::newRow("no number") << QByteArray("+CPBF: x,\"1\"") << 0 << QStringLiteral(" x");
    }
    void findReplyLocation()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, location);
        QFETCH(QString, offending);
        if (offending.isEmpty()) {
            QCOMPARE(locationInFindReply(reply), location);
            return;
        }
        try {
            locationInFindReply(reply);
            QFAIL("no failure");
        } catch (const EConvertError& error) {
            QCOMPARE(error.message(),
                     QStringLiteral("'%1' ist kein gültiger Integerwert").arg(offending));
        }
    }

    void aLinkThatDiesAsksToRetryOrCancel()
    {
        SimFixture f;
        RecordStore store;
        putRecord(store, 520, "Sim");
        putRecord(store, 521, "Sim2");
        q7sim::SimOptions options = f.sim->options();
        options.refuseExtendedWrite = true;
        options.stopAnsweringAfter = 6; // dies at the probe of record 521
        f.sim->setOptions(options);
        TransferResult result(TransferResult::Operation::Write);
        QVERIFY_THROWS_EXCEPTION(EOperationCancelled, writePhonebook(f.exchange, LanguageFile(),
                                                                     f.host, store, true, result));
        QCOMPARE(f.host.lostLinkQuestions, 1);
        // What failed before the link died is still named.
        QCOMPARE(result.failedRecords, QList<int>{520});
    }

    void eraseDeletesExactlyTheHeldEntries()
    {
        SimFixture f;
        f.sim->setEntry(2, simEntry(2, "Zwei"));
        f.sim->setEntry(505, simEntry(505, "Fuenf"));
        const TransferResult result = erase(f);
        QVERIFY(result.succeeded());
        const QList<QByteArray> commands = f.sim->commands();
        QCOMPARE(f.sent("at-sced="), (QList<QByteArray>{"at-sced=2", "at-sced=505"}));
        for (const QByteArray& deleted : {QByteArray("at-sced=2"), QByteArray("at-sced=505")})
            QCOMPARE(commands.value(commands.indexOf(deleted) + 1), QByteArray("atz"));
        QVERIFY(f.sim->entry(2).isEmpty() && f.sim->entry(505).isEmpty());
        QCOMPARE(f.host.statuses.last(), QStringLiteral("Löschen abgeschlossen."));
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
