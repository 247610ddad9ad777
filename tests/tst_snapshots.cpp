// SPDX-License-Identifier: GPL-3.0-or-later
// Snapshots of the handset as last seen: what is kept, what is not kept
// twice, how many stay, and who may read them.

#include "fileio/CsvPhonebook.h"
#include "fileio/Snapshots.h"
#include "phonebook/HandsetImage.h"
#include "support/JoergMuster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace q7;

namespace {

HandsetImage imageWith(const QList<QByteArray>& names)
{
    RecordStore read;
    int location = 0;
    for (const QByteArray& name : names) {
        ++location;
        read.setField(location, Speicherplatz, QByteArray::number(location));
        read.setField(location, Name, name);
        read.setField(location, Nummer1, "0301234567");
    }
    HandsetImage image;
    image.takeRead(read);
    return image;
}

const QDateTime kStart(QDate(2026, 12, 11), QTime(2, 15, 3), QTimeZone::utc());

} // namespace

class TestSnapshots : public QObject
{
    Q_OBJECT

private slots:
    // Byte for byte the phonebook file of the same entries, as the CSV
    // tests know it: Jörg Muster's line and one more.
    void keptAsAnExportWritesThem()
    {
        QTemporaryDir dir;
        Snapshots snapshots(dir.filePath(QStringLiteral("snapshots")));
        const QByteArray bert = "13,\"Bert\",\"\",\"\",\"\",\"0301234567\",\"\",\"\",\"\","
                                "\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n";
        const QByteArray file = kJoergMusterLine + "\r\n" + bert;
        HandsetImage image;
        image.takeRead(importCsv(file, RecordStore()));
        const auto kept = snapshots.keep(image, SnapshotReason::BeforeWrite, kStart);
        QVERIFY(kept);
        QFile written(kept->path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), file);
        QCOMPARE(kept->entries, 2);
        QCOMPARE(kept->reason, SnapshotReason::BeforeWrite);
        QCOMPARE(kept->time, kStart);
        QCOMPARE(QFileInfo(kept->path).fileName(),
                 QStringLiteral("20261211-021503-000_write_2.csv"));
        QCOMPARE(Snapshots::load(*kept).field(12, Name), QByteArray("J\xF6rg Muster"));

        // Personal data: the user's alone.
        QCOMPARE(QFile::permissions(kept->path), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                     QFileDevice::ReadUser |
                                                     QFileDevice::WriteUser);
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
        QCOMPARE(QFile::permissions(snapshots.folder()) & others, QFileDevice::Permissions());
        QVERIFY(QFile::permissions(snapshots.folder()) & QFileDevice::ExeOwner);
    }

    void sameContentAsTheNewestIsNotKeptAgain()
    {
        QTemporaryDir dir;
        Snapshots snapshots(dir.path());
        QVERIFY(snapshots.keep(imageWith({"Anna"}), SnapshotReason::Read, kStart));
        QVERIFY(
            !snapshots.keep(imageWith({"Anna"}), SnapshotReason::BeforeErase, kStart.addSecs(60)));
        QVERIFY(snapshots.keep(imageWith({"Anna", "Bert"}), SnapshotReason::BeforeErase,
                               kStart.addSecs(120)));
        // Only the newest counts: back to the first content is kept again.
        QVERIFY(snapshots.keep(imageWith({"Anna"}), SnapshotReason::Read, kStart.addSecs(180)));
        // Nothing worth keeping: unknown or empty.
        QVERIFY(!snapshots.keep(HandsetImage(), SnapshotReason::Read, kStart.addSecs(240)));
        HandsetImage empty;
        empty.setEmpty();
        QVERIFY(!snapshots.keep(empty, SnapshotReason::BeforeWrite, kStart.addSecs(300)));

        const QList<SnapshotInfo> list = snapshots.list();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].time, kStart.addSecs(180)); // newest first
        QCOMPARE(list[1].reason, SnapshotReason::BeforeErase);
        QCOMPARE(list[1].entries, 2);
    }

    void theOneBeyondTheKeptNumberRemovesTheOldest()
    {
        QTemporaryDir dir;
        Snapshots snapshots(dir.path(), 50);
        for (int n = 0; n < 51; ++n)
            QVERIFY(snapshots.keep(imageWith({"Nr" + QByteArray::number(n)}), SnapshotReason::Read,
                                   kStart.addSecs(n)));
        const QList<SnapshotInfo> list = snapshots.list();
        QCOMPARE(list.size(), 50);
        QCOMPARE(list.back().time, kStart.addSecs(1));
        QCOMPARE(Snapshots::load(list.front()).field(1, Name), QByteArray("Nr50"));
    }

    // Snapshots taken in the same millisecond, whatever their reasons, are
    // all kept and listed newest first, as are a read and the erase after it.
    void listedNewestFirst_data()
    {
        QTest::addColumn<QList<int>>("reasons");
        QTest::addColumn<QList<int>>("milliseconds"); // after kStart
        const int read = int(SnapshotReason::Read);
        const int write = int(SnapshotReason::BeforeWrite);
        const int erase = int(SnapshotReason::BeforeErase);
        QTest::newRow("read, then write in its millisecond")
            << QList<int>{read, write} << QList<int>{0, 0};
        QTest::newRow("write, then read in its millisecond")
            << QList<int>{write, read} << QList<int>{0, 0};
        QTest::newRow("read, then erase in its millisecond")
            << QList<int>{read, erase} << QList<int>{0, 0};
        QTest::newRow("three reads in one millisecond")
            << QList<int>{read, read, read} << QList<int>{0, 0, 0};
        QTest::newRow("erase, read, write, the last two in one millisecond")
            << QList<int>{erase, read, write} << QList<int>{0, 1, 1};
        QTest::newRow("a read, then an erase") << QList<int>{read, erase} << QList<int>{0, 1};
        QTest::newRow("eleven in one millisecond") << QList<int>(11, write) << QList<int>(11, 0);
    }
    void listedNewestFirst()
    {
        QFETCH(QList<int>, reasons);
        QFETCH(QList<int>, milliseconds);
        QTemporaryDir dir;
        Snapshots snapshots(dir.path());
        QList<QByteArray> names;
        for (qsizetype i = 0; i < reasons.size(); ++i) {
            names.prepend("Nr" + QByteArray::number(i));
            QVERIFY(snapshots.keep(imageWith({names.front()}), SnapshotReason(reasons[i]),
                                   kStart.addMSecs(milliseconds[i])));
        }
        QList<QByteArray> listed;
        for (const SnapshotInfo& snapshot : snapshots.list())
            listed << Snapshots::load(snapshot).field(1, Name);
        QCOMPARE(listed, names);
    }

    // The cards a sync changed or deleted: one vCard file with each card
    // byte for byte (one without a line end gets one), the address book and
    // each card's id beside it; two copies in one millisecond are both
    // kept, the oldest beyond the number kept go with their origin.
    void cardCopiesKeepTheirOrigin()
    {
        QTemporaryDir dir;
        Snapshots snapshots(dir.filePath(QStringLiteral("snapshots")), 2);
        const QByteArray anna = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:a\r\nFN:Anna\r\n"
                                "AGENT:BEGIN:VCARD\\nFN:x\\nEND:VCARD\r\nEND:VCARD\r\n";
        const QByteArray bert = "BEGIN:VCARD\nVERSION:2.1\nN:Bert;;;\nEND:VCARD";
        const auto first = snapshots.keepCards(
            {{QStringLiteral("anna.vcf"), anna}, {QStringLiteral("x y.vcf"), bert}},
            QStringLiteral("/home/u/Kontakte"), QStringLiteral("Kontakte"), kStart);
        QVERIFY(first);
        QCOMPARE(QFileInfo(first->path).fileName(),
                 QStringLiteral("20261211-021503-000_cards_2.vcf"));
        QVERIFY(snapshots.keepCards({{QStringLiteral("bert.vcf"), bert}},
                                    QStringLiteral("/home/u/Kontakte"), QStringLiteral("Kontakte"),
                                    kStart));
        QVERIFY(!snapshots.keepCards({}, QStringLiteral("/x"), QStringLiteral("x"), kStart));
        QList<CardCopyInfo> copies = snapshots.cardCopies();
        QCOMPARE(copies.size(), 2);
        QCOMPARE(copies[0].cards, 1); // the second of that millisecond first
        QCOMPARE(copies[1].path, first->path);
        QCOMPARE(copies[1].addressBook, QStringLiteral("/home/u/Kontakte"));
        QCOMPARE(copies[1].addressBookName, QStringLiteral("Kontakte"));
        QCOMPARE(copies[1].time, kStart);
        const QList<KeptCard> cards = Snapshots::loadCards(copies[1]);
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards[0].id, QStringLiteral("anna.vcf"));
        QCOMPARE(cards[0].data, anna);
        QCOMPARE(cards[1].id, QStringLiteral("x y.vcf"));
        QCOMPARE(cards[1].data, bert + "\r\n");
        QCOMPARE(QFile::permissions(first->path) &
                     ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        // Handset snapshots and card copies are listed apart.
        QVERIFY(snapshots.list().isEmpty());

        QVERIFY(snapshots.keepCards({{QStringLiteral("c.vcf"), anna}}, QStringLiteral("/x"),
                                    QStringLiteral("x"), kStart.addSecs(1)));
        copies = snapshots.cardCopies();
        QCOMPARE(copies.size(), 2);
        QVERIFY(!QFile::exists(first->path));
        QCOMPARE(QDir(snapshots.folder()).entryList(QDir::Files).size(), 4);
    }

    // A copy an older version kept has no origin beside it: its cards load
    // without ids, and its address book is not known.
    void cardCopyWithoutOrigin()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("20261211-021503-117_cards_2.vcf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n");
        file.close();
        const QList<CardCopyInfo> copies = Snapshots(dir.path()).cardCopies();
        QCOMPARE(copies.size(), 1);
        QVERIFY(copies[0].addressBook.isEmpty());
        const QList<KeptCard> cards = Snapshots::loadCards(copies[0]);
        QCOMPARE(cards.size(), 2);
        QVERIFY(cards[0].id.isEmpty() && cards[1].id.isEmpty());
        QCOMPARE(cards[1].data, QByteArray("BEGIN:VCARD\r\nFN:B\r\nEND:VCARD\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSnapshots)
#include "tst_snapshots.moc"
