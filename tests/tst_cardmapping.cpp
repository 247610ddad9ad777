// SPDX-License-Identifier: GPL-3.0-or-later
// A card of another program read for the fields the handset shares with it,
// and edited in place: only the mapped lines change.

#include "fileio/VcardReader.h"
#include "sync/CardMapping.h"

#include <QTest>
#include <QTimeZone>

using namespace q7::sync;

namespace {

const QDateTime kNow(QDate(2026, 12, 11), QTime(9, 15, 3), QTimeZone::utc());

// A card as Thunderbird and khard keep them: more than the handset holds, a
// folded photo, a fourth number, properties of other programs.
const QByteArray kThunderbird =
    "BEGIN:VCARD\r\n"
    "VERSION:3.0\r\n"
    "PRODID:-//Sabre//Sabre VObject 4.4.2//EN\r\n"
    "UID:3f1c-77\r\n"
    "FN:Jörg Muster\r\n"
    "N:Muster;Jörg;;;\r\n"
    "EMAIL;TYPE=work:joerg@example.org\r\n"
    "TEL;TYPE=work:+49 30 1234567\r\n"
    "TEL;TYPE=cell:0171-5556677\r\n"
    "TEL;TYPE=fax:030 7654321\r\n"
    "TEL;TYPE=home:089 11 22 33\r\n"
    "ADR;TYPE=home:;;Hauptstr. 1;Berlin;;10115;Germany\r\n"
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMC\r\n"
    " AgMDAwMEAwMEBQgFBQQEBQoHBwYIDAoMDAsKCwsNDhIQDQ4RDgsLEBYQERMUFRUV\r\n"
    "CATEGORIES:Familie,Freunde\r\n"
    "X-MOZILLA-HTML:FALSE\r\n"
    "REV:20250101T000000Z\r\n"
    "END:VCARD\r\n";

QString numbersText(const ContactFields& fields)
{
    QStringList numbers;
    for (const SyncNumber& n : fields.numbers)
        numbers << n.number + u':' + QString::number(n.image);
    return numbers.join(u',');
}

// The card with `from` replaced by `to`, each a whole line.
QByteArray replaced(QByteArray card, const QByteArray& from, const QByteArray& to)
{
    Q_ASSERT(card.contains(from));
    return card.replace(from, to);
}

} // namespace

class TestCardMapping : public QObject
{
    Q_OBJECT

private slots:
    void readsWhatTheImportReads_data()
    {
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("inCategory");

        QTest::newRow("Thunderbird, four numbers")
            << kThunderbird << ""
            << "Jörg Muster"
            << "+49301234567:7,01715556677:8,0307654321:9,089112233:6"
            << "Familie" << true;
        QTest::newRow("limited to a category: it is no group")
            << kThunderbird << "familie"
            << "Jörg Muster"
            << "+49301234567:7,01715556677:8,0307654321:9,089112233:6"
            << "Freunde" << true;
        QTest::newRow("outside the category")
            << kThunderbird << "Handy"
            << "Jörg Muster"
            << "+49301234567:7,01715556677:8,0307654321:9,089112233:6"
            << "Familie" << false;
        QTest::newRow("vCard 2.1, quoted-printable name, a number with letters")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
                          "M=C3=BCller;Anna\nTEL;CELL;PREF:0172 1111\nTEL;HOME:0800-CALLME\n"
                          "END:VCARD\n")
            << ""
            << "Anna Müller"
            << "01721111:8"
            << "" << true;
        QTest::newRow("vCard 4.0, tel: URIs")
            << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Bo\r\n"
                          "TEL;VALUE=uri;TYPE=\"voice,home\":tel:+49-30-1\r\n"
                          "END:VCARD\r\n")
            << ""
            << "Bo"
            << "+49301:6"
            << "" << true;
    }
    void readsWhatTheImportReads()
    {
        QFETCH(QByteArray, card);
        QFETCH(QString, category);
        const CardMapping mapping(card, category);
        const ContactFields fields = mapping.fields();
        QTEST(fields.name, "name");
        QTEST(numbersText(fields), "numbers");
        QTEST(fields.group, "group");
        QTEST(mapping.inCategory(), "inCategory");
    }

    // Only the lines of the fields that changed are written anew; every
    // other byte of the card stays.
    void editsOnlyMappedLines_data()
    {
        QTest::addColumn<QByteArray>("card");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QByteArray>("expected");

        const QString all = "+49301234567:7,01715556677:8,0307654321:9,089112233:6";
        const QByteArray rev = "REV:20261211T091503Z\r\n";
        QTest::newRow("nothing changed: not a byte, not even REV")
            << kThunderbird << ""
            << "Jörg Muster" << all << "Familie" << kThunderbird;
        QTest::newRow("renamed: FN and N")
            << kThunderbird << ""
            << "Jörg von Muster" << all << "Familie"
            << replaced(
                   replaced(replaced(kThunderbird, "FN:Jörg Muster\r\n", "FN:Jörg von Muster\r\n"),
                            "N:Muster;Jörg;;;\r\n", "N:Muster;Jörg von;;;\r\n"),
                   "REV:20250101T000000Z\r\n", rev);
        QTest::newRow("a number retyped keeps its spelling")
            << kThunderbird << ""
            << "Jörg Muster"
            << "+49301234567:7,01715556677:8,0307654321:9,089112233:7"
            << "Familie"
            << replaced(replaced(kThunderbird, "TEL;TYPE=home:089 11 22 33\r\n",
                                 "TEL;TYPE=work:089 11 22 33\r\n"),
                        "REV:20250101T000000Z\r\n", rev);
        QTest::newRow("a number gone, another new after the last TEL")
            << kThunderbird << ""
            << "Jörg Muster"
            << "+49301234567:7,01715556677:8,089112233:6,0401:5"
            << "Familie"
            << replaced(replaced(kThunderbird,
                                 "TEL;TYPE=fax:030 7654321\r\nTEL;TYPE=home:089 11 22 33\r\n",
                                 "TEL;TYPE=home:089 11 22 33\r\nTEL;TYPE=voice:0401\r\n"),
                        "REV:20250101T000000Z\r\n", rev);
        QTest::newRow("the group: only the first category")
            << kThunderbird << ""
            << "Jörg Muster" << all << "Arbeit"
            << replaced(replaced(kThunderbird, "CATEGORIES:Familie,Freunde\r\n",
                                 "CATEGORIES:Arbeit,Freunde\r\n"),
                        "REV:20250101T000000Z\r\n", rev);
        QTest::newRow("the group taken away")
            << kThunderbird << ""
            << "Jörg Muster" << all << ""
            << replaced(replaced(kThunderbird, "CATEGORIES:Familie,Freunde\r\n",
                                 "CATEGORIES:Freunde\r\n"),
                        "REV:20250101T000000Z\r\n", rev);
        const QByteArray handy = "BEGIN:VCARD\nVERSION:3.0\nFN:Bo\nN:Bo;;;;\nTEL:0301\n"
                                 "CATEGORIES:Handy\nEND:VCARD\n";
        QTest::newRow("a group in front of the sync's category, LF kept")
            << handy << "Handy"
            << "Bo"
            << "0301:5"
            << "Familie" << replaced(handy, "CATEGORIES:Handy\n", "CATEGORIES:Familie,Handy\n");
        const QByteArray bare = "BEGIN:VCARD\nVERSION:3.0\nFN:Bo\nN:Bo;;;;\nEND:VCARD\n";
        QTest::newRow("a first number and a group on a bare card")
            << bare << ""
            << "Bo"
            << "0301:8"
            << "Familie"
            << replaced(bare, "END:VCARD\n", "TEL;TYPE=cell:0301\nCATEGORIES:Familie\nEND:VCARD\n");
    }
    void editsOnlyMappedLines()
    {
        QFETCH(QByteArray, card);
        QFETCH(QString, category);
        QFETCH(QString, name);
        QFETCH(QString, numbers);
        QFETCH(QString, group);
        QFETCH(QByteArray, expected);
        ContactFields to{name, {}, group};
        for (const QString& number : numbers.split(u',', Qt::SkipEmptyParts))
            to.numbers << SyncNumber{number.section(u':', 0, 0), number.section(u':', 1).toInt()};
        CardMapping mapping(card, category);
        mapping.apply(to, kNow);
        QCOMPARE(mapping.data(), expected);
        // What was written reads back as what was meant.
        QCOMPARE(CardMapping(mapping.data(), category).fields().name, name);
        // A group taken away leaves the next category first: the card's group
        // from then on, which the handset does not get back unasked.
        QCOMPARE(CardMapping(mapping.data(), category).fields().group,
                 QTest::currentDataTag() == QByteArray("the group taken away") ? "Freunde" : group);
    }

    void newCard()
    {
        CardMapping card = CardMapping::newCard("a1b2-c3", "Handy", 49, kNow);
        card.apply({"Jörg Muster", {{"0171555", 8}, {"0301234", 6}}, "Familie"}, kNow);
        QCOMPARE(card.data(), QByteArray("BEGIN:VCARD\r\n"
                                         "VERSION:3.0\r\n"
                                         "FN:Jörg Muster\r\n"
                                         "N:Muster;Jörg;;;\r\n"
                                         "UID:a1b2-c3\r\n"
                                         "REV:20261211T091503Z\r\n"
                                         "TEL;TYPE=cell:0171555\r\n"
                                         "TEL;TYPE=home:0301234\r\n"
                                         "CATEGORIES:Familie,Handy\r\n"
                                         "END:VCARD\r\n"));
        QCOMPARE(card.uid(), "a1b2-c3");
        const QList<q7::Contact> read = q7::readVcardContacts(card.data());
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.front().name, "Jörg Muster");
    }
};

QTEST_GUILESS_MAIN(TestCardMapping)
#include "tst_cardmapping.moc"
