// SPDX-License-Identifier: GPL-3.0-or-later
// A handset that answers later than the first-byte time-out, and so answers
// both the first try and the retry: its second answer must not pass for the
// answer to the next command. (Found by the fault soak, seed 4242.)

#include "link/HandsetSearch.h"
#include "phonebook/PhonebookReader.h"
#include "support/SimFixture.h"

#include "base/LanguageFile.h"

#include <QTest>

using namespace q7;

class TestLateReplies : public QObject
{
    Q_OBJECT

private slots:
    void readTakesNoEntryForAnother_data();
    void readTakesNoEntryForAnother();
};

void TestLateReplies::readTakesNoEntryForAnother_data()
{
    QTest::addColumn<int>("lateCommand"); // after the search: 2 lists, 3 reads 5
    QTest::addColumn<int>("lateFor");

    QTest::newRow("entry 5 and its retry late") << 3 << 2;
    QTest::newRow("listing and its retry late") << 2 << 2;
}

void TestLateReplies::readTakesNoEntryForAnother()
{
    QFETCH(int, lateCommand);
    QFETCH(int, lateFor);
    SimFixture f;
    f.sim->setEntry(5, simEntry(5, "F~nf", "0555"));
    f.sim->setEntry(6, simEntry(6, "Sechs", "0666"));
    const LanguageFile texts;
    QVERIFY(searchHandset(f.exchange, texts, f.host));

    q7sim::SimOptions late;
    late.lateAfter = f.sim->commandCount() + lateCommand - 1;
    late.lateFor = lateFor;
    late.lateMs = 1500;
    f.sim->setOptions(late);
    f.host.onLostLink = [] { return true; };
    const RecordStore store = readPhonebook(f.exchange, texts, f.host, RecordStore());

    QVERIFY(f.host.lostLinkQuestions > 0);
    QCOMPARE(store.field(5, Speicherplatz), QByteArray("5"));
    QCOMPARE(store.field(5, Name), QByteArray("F\xfcnf"));
    QCOMPARE(store.field(6, Speicherplatz), QByteArray("6"));
    QCOMPARE(store.field(6, Name), QByteArray("Sechs"));
    QCOMPARE(store.field(6, Nummer1), QByteArray("0666"));
}

QTEST_GUILESS_MAIN(TestLateReplies)
#include "tst_latereplies.moc"
