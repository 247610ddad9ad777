// SPDX-License-Identifier: GPL-3.0-or-later
// The sync with a folder of vCards end to end: q7ctl against the simulated
// handset and a folder in a temporary directory.

#include "SimHandset.h"
#include "support/Q7ctlRun.h"
#include "support/SimFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = Q7ctlRun;

// A card as another program writes it: more than the handset holds.
QByteArray card(const QByteArray& name, const QByteArray& tels, const QByteArray& extra = {})
{
    const qsizetype blank = name.lastIndexOf(' ');
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Other Program//EN\r\nUID:" +
           name.toLower().replace(' ', '-') + "\r\nFN:" + name + "\r\nN:" + name.mid(blank + 1) +
           ';' + name.left(std::max<qsizetype>(blank, 0)) + ";;;\r\n" + tels +
           "EMAIL;TYPE=home:" + name.toLower().replace(' ', '.') +
           "@example.org\r\nADR;TYPE=home:;;Hauptstr. 1;Berlin;;10115;Germany\r\n" + extra +
           "X-OTHER-PROGRAM:keeps this\r\nEND:VCARD\r\n";
}

} // namespace

class TestSync : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_sim = std::make_unique<q7sim::SimHandset>();
        m_device = m_sim->start();
        m_cards = m_dir->filePath(QStringLiteral("cards"));
        QDir().mkpath(m_cards);
    }
    void cleanup()
    {
        m_sim.reset();
        m_dir.reset();
    }

    // Entries and cards that partly overlap: each contact once on each side,
    // the lines of a linked card the handset has no field for unchanged.
    void firstSyncLinksAndAdds()
    {
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        m_sim->setEntry(2, simEntry(2, "Bert Berg", "0302222", "Familie"));
        m_sim->setEntry(3, simEntry(3, "Carla Cord", "0893333"));
        const QByteArray anna = card("Anna Alt", "TEL;TYPE=cell:+49 171 111\r\n");
        const QByteArray bert = card("Bert Berg", {});
        const QByteArray dora = card("Dora Dreher", "TEL;TYPE=work:040 4444\r\n");
        write("anna.vcf", anna);
        write("bert.vcf", bert);
        write("dora.vcf", dora);
        write("notes.txt", "not a card");

        const Run run = sync();
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(handsetNames(),
                 (QStringList{"Anna Alt", "Bert Berg", "Carla Cord", "Dora Dreher"}));
        QCOMPARE(m_sim->entry(4).value(5), QByteArray("0404444"));
        QCOMPARE(cardNames(), (QStringList{"Anna Alt", "Bert Berg", "Carla Cord", "Dora Dreher"}));
        // Anna's card held all the handset holds: not a byte changed.
        QCOMPARE(read("anna.vcf"), anna);
        // Bert's card took his number and group; the rest of it stayed.
        const QByteArray bertNow = read("bert.vcf");
        for (const QByteArray& line : bert.split('\n'))
            if (!line.startsWith("END"))
                QVERIFY2(bertNow.contains(line + '\n'), line.constData());
        QVERIFY(bertNow.contains("TEL;TYPE=cell:0302222\r\n"));
        QVERIFY(bertNow.contains("CATEGORIES:Familie\r\n"));
        QCOMPARE(read("notes.txt"), QByteArray("not a card"));
        QVERIFY(QFileInfo(m_dir->filePath("data/Norvik/Q7 Manager/snapshots")).isDir());

        // A second sync right after it sends nothing and touches no file.
        const QMap<QString, QByteArray> files = folderContent();
        const QMap<QString, qint64> times = folderTimes();
        m_sim->clearCommands();
        const Run again = sync();
        QVERIFY2(again.exitCode == 0, again.err.constData());
        QVERIFY2(again.out.contains("Gleichstand"), again.out.constData());
        QCOMPARE(writesSent(), QList<QByteArray>());
        QCOMPARE(folderContent(), files);
        QCOMPARE(folderTimes(), times);

        // khard reads what the sync wrote.
        const QByteArray listed = khard({"list"});
        for (const char* name : {"Anna Alt", "Bert Berg", "Carla Cord", "Dora Dreher"})
            QVERIFY2(listed.contains(name), listed.constData());
        const QByteArray phones = khard({"phone", "--parsable"});
        for (const char* number : {"0302222", "0893333"})
            QVERIFY2(phones.contains(number), phones.constData());
    }

    // One field changed on each side: both changes survive, and what the
    // handset does not hold stays on the card.
    void editsOnBothSidesMerge()
    {
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        write("anna.vcf", card("Anna Alt", "TEL;TYPE=cell:0171111\r\n"));
        QCOMPARE(sync().exitCode, 0);

        m_sim->setEntry(1, simEntry(1, "Anna Neumann", "0171111"));
        write("anna.vcf", card("Anna Alt", "TEL;TYPE=cell:0171111\r\nTEL;TYPE=home:030 555\r\n",
                               "NOTE:neue Adresse\r\n"));
        const Run run = sync();
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(m_sim->entry(1).value(1), QByteArray("Anna Neumann"));
        QCOMPARE(m_sim->entry(1).value(8), QByteArray("030555"));
        const QByteArray anna = read("anna.vcf");
        QVERIFY(anna.contains("FN:Anna Neumann\r\n"));
        QVERIFY(anna.contains("NOTE:neue Adresse\r\n"));
        QVERIFY(anna.contains("TEL;TYPE=home:030 555\r\n"));
        m_sim->clearCommands();
        QCOMPARE(sync().exitCode, 0);
        QCOMPARE(writesSent(), QList<QByteArray>());
    }

    // Renamed on both sides: without a preference each side keeps its name
    // and the exit status says so, at every run; a preference settles it.
    void conflict_data()
    {
        QTest::addColumn<QString>("prefer");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("handsetName");
        QTest::addColumn<QByteArray>("cardName");
        QTest::newRow("left open") << "" << 3 << QByteArray("Bert H") << QByteArray("Bert C");
        QTest::newRow("handset preferred")
            << "handset" << 0 << QByteArray("Bert H") << QByteArray("Bert H");
        QTest::newRow("address book preferred")
            << "addressbook" << 0 << QByteArray("Bert C") << QByteArray("Bert C");
    }
    void conflict()
    {
        QFETCH(QString, prefer);
        m_sim->setEntry(1, simEntry(1, "Bert", "0302222"));
        write("bert.vcf", card("Bert", "TEL;TYPE=cell:0302222\r\n"));
        QCOMPARE(sync().exitCode, 0);
        m_sim->setEntry(1, simEntry(1, "Bert H", "0302222"));
        write("bert.vcf", card("Bert C", "TEL;TYPE=cell:0302222\r\n"));

        QStringList options;
        if (!prefer.isEmpty())
            options << "--prefer" << prefer;
        const Run run = sync(options);
        QTEST(run.exitCode, "status");
        QCOMPARE(run.out.contains("Konflikt"), prefer.isEmpty());
        QTEST(m_sim->entry(1).value(1), "handsetName");
        QFETCH(QByteArray, cardName);
        QVERIFY(read("bert.vcf").contains("FN:" + cardName + "\r\n"));
        // Shown again at the next run until settled.
        QTEST(sync().exitCode, "status");
    }

    // An emptied folder looks like every card deleted: refused, nothing done.
    void emptiedFolderIsRefused()
    {
        for (int location = 1; location <= 5; ++location) {
            const QByteArray name = "Kontakt " + QByteArray::number(location);
            m_sim->setEntry(location,
                            simEntry(location, name, "030100" + QByteArray::number(location)));
        }
        QCOMPARE(sync().exitCode, 0);
        QCOMPARE(cardNames().size(), 5);
        for (const QString& file : QDir(m_cards).entryList({"*.vcf"}))
            QFile::remove(QDir(m_cards).filePath(file));

        m_sim->clearCommands();
        const Run run = sync();
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("--allow-deletions"), run.err.constData());
        QCOMPARE(writesSent(), QList<QByteArray>());
        QCOMPARE(handsetNames().size(), 5);
    }

    // No free location in the handset memory nor on the SIM: the card left
    // out is named, the rest of the sync is done, and the exit status says so.
    void fullHandsetNamesCardsLeftOut()
    {
        for (int location = 1; location <= 600; ++location)
            if (location <= 500 || location >= 510)
                m_sim->setEntry(location,
                                simEntry(location, "Eintrag " + QByteArray::number(location),
                                         "0301" + QByteArray::number(100000 + location)));
        write("neu.vcf", card("Neu Mann", "TEL;TYPE=cell:0172999\r\n"));
        const Run run = sync();
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains("Kein Platz im Handy für: Neu Mann"), run.out.constData());
        QCOMPARE(cardNames().size(), 592);
    }

    // The line drops while the sync writes the handset; the next run
    // finishes the job, and nothing is there twice on either side.
    void lostLineThenRerun()
    {
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        for (int i = 1; i <= 6; ++i)
            write(QStringLiteral("new%1.vcf").arg(i),
                  card("Neu " + QByteArray::number(i),
                       "TEL;TYPE=cell:0172000" + QByteArray::number(i) + "\r\n"));
        const int before = m_sim->commandCount();
        QCOMPARE(sync({"--dry-run"}).exitCode, 0);
        const int readCommands = m_sim->commandCount() - before;
        q7sim::SimOptions options = m_sim->options();
        options.dropLineAfter = m_sim->commandCount() + readCommands + 12;
        m_sim->setOptions(options);
        const Run lost = sync();
        QCOMPARE(lost.exitCode, 1);
        const int written = int(handsetNames().size()) - 1;
        QVERIFY2(written > 0 && written < 6, qPrintable(handsetNames().join(u',')));

        // The handset comes back on a new line, holding what it took.
        auto handset = std::make_unique<q7sim::SimHandset>();
        for (int location = 1; location <= 700; ++location)
            if (const QList<QByteArray> entry = m_sim->entry(location); !entry.isEmpty())
                handset->setEntry(location, entry);
        m_sim = std::move(handset);
        m_device = m_sim->start();
        const Run rerun = sync();
        QVERIFY2(rerun.exitCode == 0, rerun.err.constData());
        QStringList names = handsetNames();
        QCOMPARE(names.size(), 7);
        names.removeDuplicates();
        QCOMPARE(names.size(), 7);
        QCOMPARE(cardNames().size(), 7);
        QCOMPARE(sync().exitCode, 0);
        QCOMPARE(cardNames().size(), 7);
    }

private:
    Run sync(const QStringList& options = {})
    {
        return q7ctl(QStringList{"--device", m_device, "sync", "--addressbook", m_cards} + options);
    }

    Run q7ctl(const QStringList& arguments)
    {
        return runQ7ctl(QStringLiteral(Q7CTL_PATH), arguments, m_dir->path(), 120000);
    }

    QByteArray khard(const QStringList& arguments)
    {
        const QString config = m_dir->filePath("khard.conf");
        write(config, "[addressbooks]\n[[cards]]\npath = " + m_cards.toUtf8() +
                          "\n[general]\ndefault_action = list\n");
        QProcess process;
        process.start("khard", QStringList{"-c", config} + arguments);
        if (!process.waitForFinished(60000))
            return {};
        return process.readAllStandardOutput() + process.readAllStandardError();
    }

    QStringList handsetNames() const
    {
        QStringList names;
        for (int location = 1; location <= 700; ++location)
            if (const QList<QByteArray> entry = m_sim->entry(location); !entry.isEmpty())
                names << QString::fromLatin1(entry.value(1));
        return names;
    }
    QStringList cardNames() const
    {
        QStringList names;
        for (const QString& file : QDir(m_cards).entryList({"*.vcf"}))
            for (const QByteArray& line : read(file).split('\n'))
                if (line.startsWith("FN:"))
                    names << QString::fromUtf8(line.mid(3).trimmed());
        names.sort();
        return names;
    }
    QList<QByteArray> writesSent() const
    {
        QList<QByteArray> writes;
        for (const QByteArray& command : m_sim->commands()) {
            const QByteArray upper = command.toUpper();
            if (upper.startsWith("AT-SCEW") || upper.startsWith("AT-SCED") ||
                upper.startsWith("AT+CPBW"))
                writes << command;
        }
        return writes;
    }
    QMap<QString, QByteArray> folderContent() const
    {
        QMap<QString, QByteArray> files;
        for (const QString& file : QDir(m_cards).entryList(QDir::Files))
            files.insert(file, read(file));
        return files;
    }
    QMap<QString, qint64> folderTimes() const
    {
        QMap<QString, qint64> times;
        for (const QFileInfo& file : QDir(m_cards).entryInfoList(QDir::Files))
            times.insert(file.fileName(), file.lastModified().toMSecsSinceEpoch());
        return times;
    }
    QByteArray read(const QString& name) const
    {
        QFile file(QDir(m_cards).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& content)
    {
        QFile file(QDir(m_cards).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<q7sim::SimHandset> m_sim;
    QString m_device;
    QString m_cards;
};

QTEST_GUILESS_MAIN(TestSync)
#include "tst_sync.moc"
