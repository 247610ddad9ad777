// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the whole phonebook from the simulated handset.

#include "base/Errors.h"
#include "base/LanguageFile.h"
#include "base/PcText.h"
#include "phonebook/PhonebookReader.h"
#include "support/SimFixture.h"

#include <QTest>

using namespace q7;

class TestReader : public QObject
{
    Q_OBJECT

private slots:
    void listingNamesExactlyItsLocations_data()
    {
        QTest::addColumn<QByteArray>("listing");
        QTest::addColumn<QList<int>>("locations");
        QTest::newRow("entry 12 only, not 1")
            << QByteArray("\r\n+CPBR: 12,\"0301\",129,\"Anna\"\r\n\r\nOK\r\n") << QList<int>{12};
        QTest::newRow("several")
            << QByteArray("+CPBR: 1,\"1\",129,\"A\"\r\n+CPBR: 100,\"2\",129,\"B\"\r\n")
            << QList<int>{1, 100};
        QTest::newRow("error") << QByteArray("\r\nERROR\r\n") << QList<int>{};
        QTest::newRow("prefix without a number")
            << QByteArray("+CPBR: (1-200),20,18") << QList<int>{};
    }
    void listingNamesExactlyItsLocations()
    {
        QFETCH(QByteArray, listing);
        QFETCH(QList<int>, locations);
        const QSet<int> listed = listedLocations(listing);
        QCOMPARE(listed, QSet<int>(locations.begin(), locations.end()));
    }

    void simRangeEnd_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("end");
        QTest::newRow("three digits") << QByteArray("+CPBR: (1-250),20,18\r\n\r\nOK\r\n") << 250;
        QTest::newRow("two digits") << QByteArray("+CPBR: (1-50),20,18") << 50;
        QTest::newRow("no dash") << QByteArray("\r\nERROR\r\n") << 200;
        QTest::newRow("dash without digits") << QByteArray("+CPBR: (1-),20") << 200;
    }
    void simRangeEnd()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, end);
        QCOMPARE(q7::simRangeEnd(reply), end);
    }

    void readsOnlyListedLocationsIntoBothMemories()
    {
        SimFixture f;
        f.sim->setEntry(12, simEntry(12, "J|rg TOKYO OK", "0301", "Familie"));
        f.sim->setEntry(503, simEntry(503, "Anna"));
        const RecordStore store = readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore());

        QCOMPARE(f.sim->commands(),
                 (QList<QByteArray>{"at+cpbs=\"ME\"", "at+cpbr=1,500", "at-scer=12", "atz",
                                    "at+cpbs=\"SM\"", "at+cpbr=?", "at+cpbr=1,200", "at-scer=503",
                                    "atz"}));
        QCOMPARE(f.host.statuses, (QStringList{defaultText(TextId::Statusleiste_Checkmem),
                                               QStringLiteral("Daten lesen aus Speicherstelle 12"),
                                               defaultText(TextId::Statusleiste_Checksim),
                                               QStringLiteral("Daten lesen aus Speicherstelle 503"),
                                               defaultText(TextId::Statusleiste_Ruhezustand)}));
        QList<int> progress{0};
        for (int record = 1; record <= kRecordCount; ++record)
            progress << record;
        progress << 0;
        QCOMPARE(f.host.progress, progress);
        QCOMPARE(store.field(12, Name), encodePc(u"Jörg TOKYO OK"));
        QCOMPARE(store.field(12, Gruppe), QByteArray("Familie"));
        QCOMPARE(store.field(12, ChangedFlag), QByteArray("NEIN"));
        QCOMPARE(store.field(503, Name), QByteArray("Anna"));
        QCOMPARE(store.field(503, Speicherplatz), QByteArray("503"));
        for (int r : {1, 2, 13, 501, 700})
            QVERIFY(!store.holdsEntry(r));
        QCOMPARE(f.host.lostLinkQuestions, 0);
    }

    void asksForTheSimRangeTheHandsetReports_data()
    {
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<QByteArray>("listing");
        QTest::newRow("(1-250)") << QByteArray("(1-250)") << QByteArray("at+cpbr=1,250");
        QTest::newRow("(1-50)") << QByteArray("(1-50)") << QByteArray("at+cpbr=1,50");
    }
    void asksForTheSimRangeTheHandsetReports()
    {
        QFETCH(QByteArray, range);
        QFETCH(QByteArray, listing);
        q7sim::SimOptions options;
        options.simRange = range;
        SimFixture f(options);
        readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore());
        QCOMPARE(f.sent("at+cpbr=1,").last(), listing);
    }

    void readReplacesEveryEntryButKeepsChangedFlags()
    {
        SimFixture f;
        f.sim->setEntry(4, simEntry(4, "Bodo"));
        RecordStore before;
        before.setField(4, Name, kDeletionMarker); // marked before the read
        before.setField(4, ChangedFlag, kChangedYes);
        before.setField(9, Name, "Gone from the handset");
        before.setField(9, ChangedFlag, kChangedYes);
        const RecordStore store = readPhonebook(f.exchange, LanguageFile(), f.host, before);
        QCOMPARE(store.field(4, Name), QByteArray("Bodo"));
        QCOMPARE(store.field(4, ChangedFlag), QByteArray("NEIN"));
        QVERIFY(!store.holdsEntry(9));
        QCOMPARE(store.field(9, ChangedFlag), QByteArray("JA"));
    }

    void retriesWhenTheLinkComesBack()
    {
        SimFixture f;
        f.sim->setEntry(7, simEntry(7, "Carla"));
        q7sim::SimOptions options = f.sim->options();
        options.silentAfter = 2; // the listing goes unanswered once
        options.silentFor = 1;
        f.sim->setOptions(options);
        f.host.onLostLink = [] { return true; };
        const RecordStore store = readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore());
        QCOMPARE(f.host.lostLinkQuestions, 1);
        QCOMPARE(store.field(7, Name), QByteArray("Carla"));
    }

    void aLinkThatStaysSilentCancels()
    {
        SimFixture f;
        f.sim->setEntry(7, simEntry(7, "Carla"));
        q7sim::SimOptions options = f.sim->options();
        options.stopAnsweringAfter = 3;
        f.sim->setOptions(options);
        QVERIFY_THROWS_EXCEPTION(EOperationCancelled,
                                 readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
        QCOMPARE(f.host.lostLinkQuestions, 1);
        // Nothing was read, so the window shows no read in progress.
        QCOMPARE(f.host.statuses.last(), defaultText(TextId::Statusleiste_Ruhezustand));
        QCOMPARE(f.host.progress.last(), 0);
    }

    void anUnansweredListingIsNotAnEmptyPhonebook()
    {
        SimFixture f;
        q7sim::SimOptions options = f.sim->options();
        options.stopAnsweringAfter = 1; // the selection is answered, the listing is not
        f.sim->setOptions(options);
        QVERIFY_THROWS_EXCEPTION(EOperationCancelled,
                                 readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
        QCOMPARE(f.host.lostLinkQuestions, 1);
        QVERIFY(f.sent("at-scer=").isEmpty());
    }

    void aGarbledEntryIsNeverStored()
    {
        q7sim::SimOptions options;
        options.garbageAtLocation = 7;
        SimFixture f(options);
        f.sim->setEntry(7, simEntry(7, "Carla"));
        QVERIFY_THROWS_EXCEPTION(EOperationCancelled,
                                 readPhonebook(f.exchange, LanguageFile(), f.host, RecordStore()));
        QCOMPARE(f.host.lostLinkQuestions, 1);
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
