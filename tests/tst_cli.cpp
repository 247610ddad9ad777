// SPDX-License-Identifier: GPL-3.0-or-later
// q7ctl end to end: the program itself against the simulated handset.

#include "SimHandset.h"
#include "base/Texts.h"
#include "cli/ExitStatus.h"
#include "support/JoergMuster.h"
#include "support/Q7ctlRun.h"
#include "support/SimFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <new>
#include <stdexcept>

namespace {

using Run = Q7ctlRun;

// The 18 values of the entry the new-entry dialog makes for Jörg Muster.
QList<QByteArray> joergMuster()
{
    return {"12",      "J|rg Muster",
            "Familie", "TELNO",
            "Mobil",   "0123456789",
            "TELNO",   {},
            {},        "TELNO",
            {},        {},
            "CUSTOM",  {},
            {},        "CUSTOM",
            {},        {}};
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_sim = std::make_unique<q7sim::SimHandset>();
        m_device = m_sim->start();
    }
    void cleanup()
    {
        m_sim.reset();
        m_dir.reset();
    }

    void usageErrorsExitWithTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("erase without --yes") << QStringList{"erase"};
        QTest::newRow("backup without a file") << QStringList{"backup"};
        QTest::newRow("port and device")
            << QStringList{"--port", "COM2", "--device", "/dev/null", "detect"};
        QTest::newRow("bad rate") << QStringList{"--baud", "fast", "detect"};
        QTest::newRow("restore from a vCard") << QStringList{"restore", "contacts.vcf"};
        QTest::newRow("convert with one file") << QStringList{"convert", "contacts.vcf"};
        QTest::newRow("convert vCard to vCard") << QStringList{"convert", "a.vcf", "b.vcf"};
        QTest::newRow("convert to a text file") << QStringList{"convert", "a.csv", "b.txt"};
        QTest::newRow("card copy 0") << QStringList{"--snapshot", "c0", "restore"};
        QTest::newRow("card copy and a file")
            << QStringList{"--snapshot", "c1", "restore", "backup.csv"};
    }
    void usageErrorsExitWithTwo()
    {
        QFETCH(QStringList, arguments);
        const Run run = q7ctl(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(m_sim->commands().isEmpty());
    }

    // What main() does with whatever a command throws.
    void anyFailureExitsWithOneAndItsMessage_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("success keeps the command's status") << "" << 0 << "";
        QTest::newRow("port failure")
            << "port" << 1
            << "Unable to open com port (errno 2, ENOENT: No such file or directory)";
        QTest::newRow("runtime failure") << "range" << 1 << "record store index.";
        QTest::newRow("out of memory") << "memory" << 1 << "std::bad_alloc.";
    }
    void anyFailureExitsWithOneAndItsMessage()
    {
        QFETCH(QString, failure);
        QFETCH(int, status);
        QFETCH(QString, message);
        QStringList reported;
        const int exitStatus = q7::exitStatusOf(
            [&] {
                if (failure == "port")
                    throw q7::EComPort(q7::EComPort::OpenFailed, 2);
                if (failure == "range")
                    throw std::out_of_range("record store index");
                if (failure == "memory")
                    throw std::bad_alloc();
                return 0;
            },
            [&](const QString& text) { reported << text; });
        QCOMPARE(exitStatus, status);
        QCOMPARE(reported, message.isEmpty() ? QStringList() : QStringList{message});
    }

    void detect()
    {
        const Run found = q7ctl({"--device", m_device, "detect"});
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(found.out, QByteArray("Vexa TLM-Q7 gefunden...\n"));

        const Run absent = q7ctl({"--device", m_dir->filePath("absent"), "detect"});
        QCOMPARE(absent.exitCode, 1);
        const QList<QByteArray> lines = absent.err.split('\n');
        QVERIFY2(lines.value(0).startsWith("Der Anschluss " + m_dir->filePath("absent").toUtf8() +
                                           " ist nicht mehr da (ausgesteckt?)."),
                 absent.err.constData());
        QCOMPARE(
            lines.value(1),
            QByteArray("Unable to open com port (errno 2, ENOENT: No such file or directory)"));

        // A line that never answers is given up after the short wake-up
        // waits, not after the long ones of a transfer.
        m_sim->setSilent(true);
        QElapsedTimer clock;
        clock.start();
        const Run silent = q7ctl({"--device", m_device, "detect"});
        QCOMPARE(silent.exitCode, 1);
        QCOMPARE(silent.err, QByteArray("Kein Vexa TLM-Q7 gefunden.\n"));
        QVERIFY(silent.out.isEmpty());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }

    // Two runs share nothing but the device: the handset went away and came
    // back on the same link in between.
    void secondRunAfterTheHandsetCameBack()
    {
        const QString link = m_dir->filePath("handset");
        QVERIFY(QFile::link(m_device, link));
        m_sim->setEntry(12, simEntry(12, "Paul"));
        QCOMPARE(q7ctl({"--device", link, "list"}).exitCode, 0);

        m_sim->stop();
        QFile::remove(link);
        QVERIFY(QFile::link(m_sim->start(), link));
        const Run second = q7ctl({"--device", link, "list"});
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.out.contains("Paul"), second.err.constData());
    }

    void backupChecksItsTargetBeforeReading()
    {
        m_sim->setEntry(12, simEntry(12, "Paul"));
        const Run missingFolder =
            q7ctl({"--device", m_device, "backup", m_dir->filePath("no/such/folder/b.csv")});
        QCOMPARE(missingFolder.exitCode, 1);
        QVERIFY(!missingFolder.err.isEmpty());
        QVERIFY(missingFolder.out.isEmpty());
        QVERIFY(m_sim->commands().isEmpty()); // the handset was never asked

        const Run done = q7ctl({"--device", m_device, "backup", m_dir->filePath("b.csv")});
        QCOMPARE(done.exitCode, 0);
        QCOMPARE(done.out, QByteArray("1 Eintrag in b.csv gespeichert\n"));
    }

    void usageErrorNamesTheCommandsForm()
    {
        const Run run = q7ctl({"backup"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("usage: q7ctl [--port COMn | --device PATH] [--baud RATE] "
                                  "backup FILE.csv"),
                 run.err.constData());
    }

    // Usage problems and failures speak the language file's words, German
    // without one.
    void messagesFollowTheLanguageFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("german");
        QTest::addColumn<QString>("translated");
        QTest::newRow("unknown command")
            << QStringList{"frobnicate"} << 2 << "q7ctl: unbekannter Befehl 'frobnicate'"
            << "q7ctl: unknown command 'frobnicate'";
        QTest::newRow("erase without --yes")
            << QStringList{"erase"} << 2
            << "q7ctl erase: erase löscht jeden Eintrag im Handy: mit --yes bestätigen"
            << "q7ctl erase: confirm with --yes";
        QTest::newRow("restore from a vCard")
            << QStringList{"restore", "c.vcf"} << 2
            << "q7ctl restore: restore nimmt eine CSV-Telefonbuchdatei; die vCard zuerst "
               "umwandeln: q7ctl convert c.vcf FILE.csv"
            << "q7ctl restore: convert c.vcf first";
        QTest::newRow("file not found")
            << QStringList{"duplicates", "missing.csv"} << 1 << "Datei nicht gefunden."
            << "File not found.";
    }
    void messagesFollowTheLanguageFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, german);
        QFETCH(QString, translated);
        const Run plain = q7ctl(arguments);
        QCOMPARE(plain.exitCode, status);
        QCOMPARE(QString::fromUtf8(plain.err.split('\n').value(0)), german);

        QVERIFY(QDir().mkpath(m_dir->filePath("config/Norvik")));
        write(m_dir->filePath("config/Norvik/q7manager.ini"),
              "[Fehler]\r\nAufrufUnbekannt=unknown command '%1'\r\n"
              "AufrufEraseYes=confirm with --yes\r\nAufrufRestoreVcard=convert %1 first\r\n"
              "DateiNichtGefunden=File not found\r\n");
        const Run translatedRun = q7ctl(arguments);
        QCOMPARE(translatedRun.exitCode, status);
        QCOMPARE(QString::fromUtf8(translatedRun.err.split('\n').value(0)), translated);
    }

    // The help lists every row of the command table with its synopsis and
    // text, and every option, in the language file's words.
    void helpShowsEveryCommandInTheFilesWords()
    {
        QByteArray file = "[Befehlszeile]\r\n";
        QList<QByteArray> markers;
#define Q7_HELP_MARKER(id, section, key, fallback)                                                 \
    if (QByteArrayView(section) == "Befehlszeile") {                                               \
        markers << "<" key ">";                                                                    \
        file += key "=<" key ">\r\n";                                                              \
    }
        Q7_TEXTS(Q7_HELP_MARKER)
#undef Q7_HELP_MARKER
        QVERIFY(QDir().mkpath(m_dir->filePath("config/Norvik")));
        write(m_dir->filePath("config/Norvik/q7manager.ini"), file);
        const Run run = q7ctl({"--help"});
        QCOMPARE(run.exitCode, 0);
        for (const QByteArray& marker : std::as_const(markers))
            QVERIFY2(run.out.contains(marker), marker.constData());
        for (const char* line : {"\n  convert IN OUT       <Convert>\n",
                                 "\n  merge BASE IN OUT    <Merge>\n", "\n  detect   "})
            QVERIFY2(run.out.contains(line), run.out.constData());
    }

    void restoreWarnsOfLostNoteLinesAndGoesOn()
    {
        const QString file = m_dir->filePath("lines.csv");
        write(file, "7,\"Sieben\",\"\",\"TELNO\",\"Mobil\",\"0301\",\"\",\"\",\"\",\"\",\"\",\"\","
                    "\"\",\"\",\"Hinterhaus\"\r\n");
        const Run run = q7ctl({"--device", m_device, "restore", file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains("Warnung: Das Handy übernimmt beim Schreiben die Zusatzzeilen "
                                  "(Zusatz1, Zusatz2) nicht. Betroffen: 1 Eintrag (Sieben)."),
                 run.err.constData());
        QCOMPARE(run.out, QByteArray("1 Eintrag geschrieben\n"));
        QCOMPARE(m_sim->entry(7).value(1), QByteArray("Sieben"));
    }

    // A file edited by hand that names a location twice: the last line
    // counts, and both commands say which entries were not taken.
    void aLocationNamedTwiceIsToldAndTheLastLineCounts()
    {
        const QString file = m_dir->filePath("twice.csv");
        write(file, "7,\"Erste\"\r\n9,\"Neun\"\r\n7,\"Zweite\"\r\n");
        const QByteArray told = "Diese Speicherplätze stehen mehr als einmal in der Datei, "
                                "geladen ist jeweils nur die letzte Zeile: 7\n";

        const Run converted = q7ctl({"convert", file, m_dir->filePath("twice.vcf")});
        QCOMPARE(converted.exitCode, 0);
        QCOMPARE(converted.err, told);
        QVERIFY(read(m_dir->filePath("twice.vcf")).contains("FN:Zweite\r\n"));

        const Run restored = q7ctl({"--device", m_device, "restore", file});
        QCOMPARE(restored.exitCode, 0);
        QVERIFY2(restored.err.startsWith(told), restored.err.constData());
        QCOMPARE(m_sim->entry(7).value(1), QByteArray("Zweite"));
        QCOMPARE(m_sim->entry(9).value(1), QByteArray("Neun"));
    }

    void listPrintsEveryLiveEntry()
    {
        for (int location = 1; location <= 700; ++location)
            m_sim->setEntry(location, simEntry(location, "M~ller " + QByteArray::number(location)));
        const Run run = q7ctl({"--device", m_device, "list"});
        QCOMPARE(run.exitCode, 0);
        QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QCOMPARE(lines.size(), 700);
        QCOMPARE(lines.first(), QByteArray("  1  Müller 1  Mobil 0301234567"));
        QCOMPARE(lines.last(), QByteArray("700  Müller 700  Mobil 0301234567"));
    }

    void backupWritesJoergMustersLine()
    {
        m_sim->setEntry(12, joergMuster());
        const QString file = m_dir->filePath("backup.csv");
        QCOMPARE(q7ctl({"--device", m_device, "backup", file}).exitCode, 0);
        QCOMPARE(read(file), q7::kJoergMusterLine + "\r\n");
    }

    void restoreIntoAnErasedHandsetGivesTheEntriesBack()
    {
        m_sim->setEntry(12, joergMuster());
        QList<QByteArray> withTexts = simEntry(3, "Oma K{the", "0403", "Familie");
        withTexts[14] = "H|rt schlecht"; // additional texts: the handset does not keep them
        m_sim->setEntry(3, withTexts);
        m_sim->setEntry(505, simEntry(505, "Notruf", "112"));
        m_sim->setEntry(650, simEntry(650, "Ganz hinten"));
        const QString first = m_dir->filePath("first.csv");
        QCOMPARE(q7ctl({"--device", m_device, "backup", first}).exitCode, 0);

        QCOMPARE(q7ctl({"--device", m_device, "erase", "--yes"}).exitCode, 0);
        QVERIFY(m_sim->phonebook().isEmpty());
        QCOMPARE(q7ctl({"--device", m_device, "restore", first}).exitCode, 0);
        const QString second = m_dir->filePath("second.csv");
        QCOMPARE(q7ctl({"--device", m_device, "backup", second}).exitCode, 0);
        QByteArray expected = read(first);
        expected.replace("\"H|rt schlecht\"", "\"\"");
        QCOMPARE(read(second), expected);

        // A second plain restore leaves one copy of every entry.
        QCOMPARE(q7ctl({"--device", m_device, "restore", first}).exitCode, 0);
        QCOMPARE(m_sim->phonebook().size(), 4);
    }

    // 50 entries the handset holds, each with another number in the file:
    // the read's location read, atz and the write per entry, and a few
    // commands once (the search, the listings, the write's start).
    void restoreOfChangedEntriesTakesThreeCommandsEach()
    {
        QByteArray file;
        QList<int> locations;
        for (int n = 1; n <= 50; ++n) {
            const int location = n <= 25 ? n : 500 + n;
            locations << location;
            m_sim->setEntry(location, simEntry(location, "E" + QByteArray::number(n), "0301"));
            file += QByteArray::number(location) + ",\"E" + QByteArray::number(n) +
                    "\",\"\",\"TELNO\",\"Mobil\",\"0399\",\"TELNO\",\"\",\"\",\"TELNO\",\"\",\"\","
                    "\"CUSTOM\",\"\",\"\",\"CUSTOM\",\"\",\"\"\r\n";
        }
        const QString path = m_dir->filePath("changed.csv");
        write(path, file);
        QCOMPARE(
            q7ctl({"--device", m_device, "--no-snapshot", "--no-verify", "restore", path}).exitCode,
            0);
        const QList<QByteArray> commands = m_sim->commands();
        for (int location : locations) {
            const QByteArray at = QByteArray::number(location);
            QCOMPARE(commands.count("at-scer=" + at), 1); // the read's
            QCOMPARE(m_sim->entry(location).value(5), QByteArray("0399"));
        }
        QCOMPARE(commands.count("atz"), 50 + 3); // each write, the read's two, the write's start
        QVERIFY2(commands.size() <= 3 * 50 + 12, QByteArray::number(commands.size()).constData());
    }

    void restoreReplaceLeavesExactlyTheFilesEntries()
    {
        m_sim->setEntry(40, simEntry(40, "Alt"));
        const QString file = m_dir->filePath("one.csv");
        write(file, "7,\"Sieben\",\"\",\"TELNO\",\"Mobil\",\"0301\"\r\n");
        QCOMPARE(q7ctl({"--device", m_device, "--replace", "restore", file}).exitCode, 0);
        QCOMPARE(m_sim->phonebook().keys(), QList<int>{7});
    }

    // The plan is printed from a read; nothing that changes the handset is sent.
    void restoreDryRunPrintsThePlan()
    {
        m_sim->setEntry(3, simEntry(3, "Anna", "0301"));
        m_sim->setEntry(4, simEntry(4, "Bert", "0302"));
        m_sim->setEntry(6, simEntry(6, "Carl", "0303"));
        const QString file = m_dir->filePath("plan.csv");
        write(file, "3,\"Anna\",\"\",\"TELNO\",\"Mobil\",\"0399\",\"TELNO\",\"\",\"\","
                    "\"TELNO\",\"\",\"\",\"CUSTOM\",\"\",\"\",\"CUSTOM\",\"\",\"\"\r\n"
                    "6,\"Carl\",\"\",\"TELNO\",\"Mobil\",\"0303\",\"TELNO\",\"\",\"\","
                    "\"TELNO\",\"\",\"\",\"CUSTOM\",\"\",\"\",\"CUSTOM\",\"\",\"\"\r\n"
                    "8,\"Dora\",\"\",\"TELNO\",\"Mobil\",\"0304\"\r\n");
        const QByteArray added = "  3  Anna  geändert: Nummer 1 0301 → 0399\n"
                                 "  8  Dora  neu\n";
        const Run plain = q7ctl({"--device", m_device, "--dry-run", "restore", file});
        QCOMPARE(plain.exitCode, 0);
        QCOMPARE(plain.out, added + "1 neu, 1 geändert, 0 gelöscht, 1 unverändert\n");
        const Run replace =
            q7ctl({"--device", m_device, "--dry-run", "--replace", "restore", file});
        QCOMPARE(replace.out, QByteArray("  3  Anna  geändert: Nummer 1 0301 → 0399\n"
                                         "  4  Bert  gelöscht\n"
                                         "  8  Dora  neu\n"
                                         "1 neu, 1 geändert, 1 gelöscht, 1 unverändert\n"));
        for (const QByteArray& command : m_sim->commands())
            QVERIFY2(!command.toLower().startsWith("at-scew") &&
                         !command.toLower().startsWith("at-sced") &&
                         !command.toLower().startsWith("at+cpbw"),
                     command.constData());
        QVERIFY(q7ctl({"snapshots"}).out.startsWith(QByteArray("Es gibt noch keine Sicherung")));
    }

    // A restore of another file over the first phonebook, then the
    // snapshot the restore kept: the first phonebook is back exactly.
    void restoreOfTheLatestSnapshotUndoesARestore()
    {
        m_sim->setEntry(12, joergMuster());
        m_sim->setEntry(3, simEntry(3, "Oma", "0403", "Familie"));
        m_sim->setEntry(505, simEntry(505, "Notruf", "112"));
        const QString first = m_dir->filePath("first.csv");
        QCOMPARE(q7ctl({"--device", m_device, "backup", first}).exitCode, 0);

        const QString other = m_dir->filePath("other.csv");
        write(other, "7,\"Sieben\",\"\",\"TELNO\",\"Mobil\",\"0301\"\r\n");
        QCOMPARE(q7ctl({"--device", m_device, "--replace", "restore", other}).exitCode, 0);
        QCOMPARE(m_sim->phonebook().keys(), QList<int>{7});

        const Run restored = q7ctl({"--device", m_device, "--snapshot", "latest", "restore"});
        QCOMPARE(restored.exitCode, 0);
        const QString again = m_dir->filePath("again.csv");
        QCOMPARE(q7ctl({"--device", m_device, "backup", again}).exitCode, 0);
        QCOMPARE(read(again), read(first));

        // The first: the one kept before this restore wrote (Sieben alone).
        const QList<QByteArray> lines = q7ctl({"snapshots"}).out.split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[0].startsWith(" 1  ") &&
                     lines[0].contains("  1 Eintrag  vor dem Schreiben  "),
                 lines[0].constData());
        QVERIFY2(lines[1].contains("  3 Einträge  vor dem Löschen  "), lines[1].constData());
        const QByteArray marker = "vor dem Löschen  ";
        QVERIFY(QFile::exists(
            QString::fromUtf8(lines[1].mid(lines[1].indexOf(marker) + marker.size()))));

        // --no-snapshot keeps none; an erase keeps one, and a later erase of
        // the same entries not again.
        QCOMPARE(q7ctl({"--device", m_device, "--no-snapshot", "erase", "--yes"}).exitCode, 0);
        QCOMPARE(q7ctl({"snapshots"}).out.count('\n'), 2);
        QCOMPARE(q7ctl({"--device", m_device, "--snapshot", "2", "restore"}).exitCode, 0);
        QCOMPARE(q7ctl({"--device", m_device, "erase", "--yes"}).exitCode, 0);
        QCOMPARE(q7ctl({"snapshots"}).out.count('\n'), 3);
        QCOMPARE(q7ctl({"--device", m_device, "--snapshot", "latest", "restore"}).exitCode, 0);
        QCOMPARE(q7ctl({"--device", m_device, "erase", "--yes"}).exitCode, 0);
        QCOMPARE(q7ctl({"snapshots"}).out.count('\n'), 3);
    }

    void restoreRefusesBadFilesBeforeSendingAnything_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("bad line") << QByteArray("7,\"Sieben\"\r\nacht,\"Acht\"\r\n")
                                  << QByteArray("'acht' ist kein gültiger Integerwert");
        QTest::newRow("no live entry")
            << QByteArray("7,\"Q7LoeschenQ7\"\r\n") << QByteArray("keinen Eintrag");
    }
    void restoreRefusesBadFilesBeforeSendingAnything()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, message);
        const QString file = m_dir->filePath("bad.csv");
        write(file, content);
        const Run run = q7ctl({"--device", m_device, "--replace", "restore", file});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(m_sim->commands().isEmpty());
    }

    void restoreOfAVcardPointsToConvert()
    {
        const Run run = q7ctl({"restore", "contacts.vcf"});
        QVERIFY2(run.err.contains("q7ctl convert contacts.vcf FILE.csv"), run.err.constData());
    }

    // A vCard backup turned into a CSV file, restored into an erased handset
    // and backed up again gives the same cards: the entries came back whole.
    void vcardBackupComesBackThroughConvert()
    {
        m_sim->setEntry(12, joergMuster());
        m_sim->setEntry(3, simEntry(3, "Oma K{the", "0403", "Familie"));
        m_sim->setEntry(505, simEntry(505, "Notruf", "112"));
        m_sim->setEntry(650, simEntry(650, "Ganz hinten"));
        const QString first = m_dir->filePath("first.vcf");
        QCOMPARE(q7ctl({"--device", m_device, "backup", first}).exitCode, 0);
        QVERIFY(read(first).startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Oma K\xc3\xa4the\r\n"));

        const QString csv = m_dir->filePath("converted.csv");
        const Run converted = q7ctl({"convert", first, csv});
        QCOMPARE(converted.exitCode, 0);
        QCOMPARE(converted.err,
                 QByteArray("Angelegte Einträge: 4\nNichts gekürzt, ersetzt oder ausgelassen.\n"));
        QVERIFY(read(csv).startsWith("1,\"Oma K{the\",\"Familie\",\"TELNO\",\"Mobil\",\"0403\""));

        QCOMPARE(q7ctl({"--device", m_device, "erase", "--yes"}).exitCode, 0);
        QCOMPARE(q7ctl({"--device", m_device, "restore", csv}).exitCode, 0);
        QCOMPARE(m_sim->phonebook().keys(), (QList<int>{1, 2, 3, 4}));
        const QString second = m_dir->filePath("second.vcf");
        QCOMPARE(q7ctl({"--device", m_device, "backup", second}).exitCode, 0);
        QCOMPARE(read(second), read(first));

        const QString back = m_dir->filePath("back.vcf");
        QCOMPARE(q7ctl({"convert", csv, back}).exitCode, 0);
        QCOMPARE(read(back), read(first));
    }

    // The phone list as a PDF: read from the handset, or converted from the
    // backup without one, the same pages, without a display.
    void pdfOfTheHandsetAndOfItsFile()
    {
        m_sim->setEntry(12, joergMuster());
        m_sim->setEntry(3, simEntry(3, "Oma K{the", "0403", "Familie"));
        m_sim->setEntry(505, simEntry(505, "Notruf", "112"));
        const QString csv = m_dir->filePath("backup.csv");
        QCOMPARE(q7ctl({"--device", m_device, "backup", csv}).exitCode, 0);
        const QString fromHandset = m_dir->filePath("handset.PDF");
        const Run backup = q7ctl({"--device", m_device, "backup", fromHandset}, true);
        QCOMPARE(backup.exitCode, 0);
        QVERIFY(read(fromHandset).startsWith("%PDF"));
        const QString fromFile = m_dir->filePath("file.pdf");
        const Run converted = q7ctl({"convert", csv, fromFile}, true);
        QCOMPARE(converted.exitCode, 0);
        QCOMPARE(converted.err, QByteArray());

        const QByteArray text = pdfText(fromFile);
        QCOMPARE(pdfText(fromHandset), text);
        const qsizetype firstNine = text.indexOf("First Nine\n");
        const qsizetype notruf = text.indexOf("Notruf", firstNine);
        const qsizetype phonebook = text.indexOf("Telefonbuch\n");
        QVERIFY(firstNine >= 0 && firstNine < notruf && notruf < phonebook);
        QVERIFY(text.indexOf("Jörg Muster", phonebook) < text.indexOf("Notruf", phonebook));
        QVERIFY(text.indexOf("Notruf", phonebook) < text.indexOf("Oma Käthe", phonebook));
        QVERIFY(QString::fromUtf8(text).contains(
            QRegularExpression(QStringLiteral("Jörg Muster +Mobil +0123456789 +Familie"))));
    }

    void convertToTheSimRangeReportsWhatDidNotFit()
    {
        QByteArray cards = "BEGIN:VCARD\r\nTEL:0301\r\nEND:VCARD\r\n";
        for (int i = 1; i <= 95; ++i)
            cards += "BEGIN:VCARD\r\nFN:Karte " + QByteArray::number(i) + "\r\nEND:VCARD\r\n";
        const QString in = m_dir->filePath("many.VCF");
        write(in, cards);
        const QString out = m_dir->filePath("many.csv");
        const Run run = q7ctl({"convert", "--sim", in, out});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QByteArray("Angelegte Einträge: 91\n"
                                     "Kein freier Speicherplatz mehr: 4 Karten ab Karte 93 nicht "
                                     "importiert.\n"
                                     "Karte 1 ohne Namen übersprungen (Nummer 0301).\n"));
        const QList<QByteArray> lines = read(out).split('\n');
        QVERIFY(lines.first().startsWith("510,\"Karte 1\""));
        QVERIFY(lines.at(90).startsWith("600,\"Karte 91\""));
    }

    // The setting Sicherungen keeps that many snapshots: the oldest go.
    void snapshotsKeptAsTheSettingsSay()
    {
        const QString folder = m_dir->filePath("data/Norvik/Q7 Manager/snapshots");
        QVERIFY(QDir().mkpath(folder));
        const QStringList old{"20200101-000000-000_read_1.csv", "20210101-000000-000_read_1.csv",
                              "20220101-000000-000_write_1.csv"};
        for (const QString& name : old)
            write(QDir(folder).filePath(name), "7,\"" + name.toUtf8() + "\"\r\n");
        QVERIFY(QDir().mkpath(m_dir->filePath("config/Norvik")));
        write(m_dir->filePath("config/Norvik/Q7 Manager.conf"), "[Telefonbuch]\nSicherungen=2\n");
        m_sim->setEntry(3, simEntry(3, "Drei"));

        QCOMPARE(q7ctl({"--device", m_device, "erase", "--yes"}).exitCode, 0);
        QStringList kept = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), 2);
        QCOMPARE(kept.first(), old.last());
        QVERIFY2(kept.last().endsWith("_erase_1.csv"), qPrintable(kept.last()));
        const QList<QByteArray> listed = q7ctl({"snapshots"}).out.split('\n');
        QVERIFY(listed.value(0).endsWith(QDir(folder).filePath(kept.last()).toUtf8()));
        QVERIFY(listed.value(1).endsWith(QDir(folder).filePath(old.last()).toUtf8()));
    }

    // The doctor's exit status says whether the handset answered on any port.
    void doctorExitsWithWhetherTheHandsetAnswered()
    {
        const Run found = q7ctl({"--device", m_device, "doctor"});
        QCOMPARE(found.exitCode, 0);
        QVERIFY2(found.out.contains(m_device.toUtf8() + ": der Vexa TLM-Q7 antwortet."),
                 found.out.constData());
        m_sim->setSilent(true);
        const Run silent = q7ctl({"--device", m_device, "doctor"});
        QCOMPARE(silent.exitCode, 1);
        QVERIFY2(silent.out.contains(m_device.toUtf8() + ": kein Vexa TLM-Q7 antwortet."),
                 silent.out.constData());
    }

    // Contacts merged into a phonebook file: a number in the international
    // form finds its entry by the country code of the settings, a new number
    // completes it, a stranger becomes a new entry; the same merge again
    // changes nothing. Then the duplicates of a file, grouped by number.
    void mergeAndDuplicates_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("international"); // Anna's number as a card has it
        QTest::newRow("49 by default") << QByteArray() << QByteArray("+49 171 111");
        QTest::newRow("the country code of the settings")
            << QByteArray("[Telefonbuch]\nLaendervorwahl=43\n") << QByteArray("+43 171 111");
    }
    void mergeAndDuplicates()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, international);
        QVERIFY(QDir().mkpath(m_dir->filePath("config/Norvik")));
        write(m_dir->filePath("config/Norvik/Q7 Manager.conf"), settings);
        const QString base = m_dir->filePath("base.csv");
        write(base, "1,\"Anna Schmidt\",\"\",\"TELNO\",\"Mobil\",\"0171111\"\r\n");
        const QString cards = m_dir->filePath("in.vcf");
        write(cards, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nTEL;TYPE=CELL:" + international +
                         "\r\nTEL;TYPE=WORK:089 3\r\nEND:VCARD\r\n"
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bernd\r\nTEL;TYPE=HOME:0302\r\n"
                         "END:VCARD\r\n");
        const QString out = m_dir->filePath("out.csv");
        const Run merged = q7ctl({"merge", base, cards, out});
        QCOMPARE(merged.exitCode, 0);
        QVERIFY(merged.out.isEmpty());
        QCOMPARE(merged.err, QByteArray("Angelegte Einträge: 1\nUm Nummern ergänzte Einträge: 1\n"
                                        "Nummern ohne Leerzeichen, Bindestriche und Klammern "
                                        "übernommen: 2\n"));
        const QList<QByteArray> lines = read(out).split('\n');
        QVERIFY2(lines.value(0).startsWith(
                     "1,\"Anna "
                     "Schmidt\",\"\",\"TELNO\",\"Mobil\",\"0171111\",\"TELNO\",\"B~ro\",\"0893\""),
                 lines.value(0).constData());
        QVERIFY2(lines.value(1).contains("\"Bernd\""), lines.value(1).constData());

        // A phonebook file is no contacts file.
        const Run notContacts = q7ctl({"merge", base, base, m_dir->filePath("none.csv")});
        QCOMPARE(notContacts.exitCode, 1);
        QCOMPARE(notContacts.err,
                 QByteArray("Die Datei enthält weder vCards noch Kontakte mit einer Kopfzeile.\n"));

        const QString again = m_dir->filePath("again.csv");
        const Run second = q7ctl({"merge", out, cards, again});
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(read(again), read(out));

        // The card's own form of Anna's number beside hers: one group.
        const QString doubled = m_dir->filePath("doubled.csv");
        write(doubled, read(out) + "30,\"Anni\",\"\",\"TELNO\",\"Mobil\",\"" +
                           QByteArray(international).replace(" ", "") + "\"\r\n");
        const Run duplicates = q7ctl({"duplicates", doubled});
        QCOMPARE(duplicates.exitCode, 0);
        QCOMPARE(duplicates.out, QByteArray("  1  Anna Schmidt  Mobil 0171111, Büro 0893\n"
                                            " 30  Anni  Mobil " +
                                            QByteArray(international).replace(" ", "") + "\n"));
        QCOMPARE(duplicates.err, QByteArray("Gruppen doppelter Einträge: 1\n"));
    }

    void refusedWritesAreListed()
    {
        q7sim::SimOptions options;
        options.refuseExtendedWrite = true;
        m_sim->setOptions(options);
        const QString file = m_dir->filePath("one.csv");
        write(file, "520,\"Zwanzig\"\r\n");
        const Run run = q7ctl({"--device", m_device, "restore", file});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("1 Datensatz wurde nicht übertragen: 520"), run.err.constData());
    }

private:
    // withoutDisplay: as in a terminal without a graphical session, the
    // platform set to one that would need it.
    Run q7ctl(const QStringList& arguments, bool withoutDisplay = false)
    {
        return runQ7ctl(QStringLiteral(Q7CTL_PATH), arguments, m_dir->path(), 60000,
                        withoutDisplay);
    }
    static QByteArray pdfText(const QString& path)
    {
        QProcess process;
        process.start(QStringLiteral("pdftotext"),
                      {QStringLiteral("-layout"), path, QStringLiteral("-")});
        process.waitForFinished();
        return process.readAllStandardOutput();
    }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void write(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<q7sim::SimHandset> m_sim;
    QString m_device;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
