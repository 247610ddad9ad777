// SPDX-License-Identifier: GPL-3.0-or-later
// The sync with a folder of vCards end to end: q7ctl against the simulated
// handset and a folder in a temporary directory, and the engine itself
// where the folder changes or goes away while it writes.

#include "SimHandset.h"
#include "base/Errors.h"
#include "base/OperationHost.h"
#include "support/EngineSync.h"
#include "support/Q7ctlRun.h"
#include "support/SimFixture.h"
#include "sync/CardRestore.h"
#include "sync/VcardFolder.h"

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

// A folder another program edits, or that goes away, while the sync writes.
class BusyFolder : public q7::sync::VcardFolder
{
public:
    using VcardFolder::VcardFolder;

    // Before put number `editAt` (from 1), `edit` is done to the card first.
    int editAt = 0;
    std::function<void()> edit;
    // Every put after this many fails as a folder gone would.
    int failAfter = -1;
    int puts = 0;

    std::optional<q7::sync::CardVersion> put(const QString& id, const QString& uid,
                                             const QByteArray& data,
                                             const QString& ifVersion) override
    {
        ++puts;
        if (puts == editAt && edit)
            edit();
        if (failAfter >= 0 && puts > failAfter)
            throw q7::EInOutError(q7::EInOutError::AccessDenied, id);
        return VcardFolder::put(id, uid, data, ifVersion);
    }
};

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

    // The card changes between the plan and the write: it is read again and
    // merged once more with the handset's side as planned; a second change
    // in that while is left as a problem for the next sync. The handset's
    // part is written already, so what the second merge wants of it comes
    // with the next sync, and then both sides are in step.
    void cardChangedBeforeWrite_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("changedTwice");
        QTest::addColumn<int>("prefer"); // -1 none, else a Side
        QTest::addColumn<QByteArray>("cardName");
        QTest::addColumn<int>("conflicts");
        QTest::addColumn<QByteArray>("handsetName"); // after the next sync
        QTest::addColumn<QByteArray>("handsetGroup");
        const QByteArray other = "X-OTHER-PROGRAM:";
        const QByteArray group = "CATEGORIES:Familie\r\nX-OTHER-PROGRAM:";
        const QByteArray fn = "FN:Anna Alt";
        const QByteArray renamed = "FN:Anna Anders";
        const int handset = int(q7::sync::Side::Handset);
        const int book = int(q7::sync::Side::AddressBook);
        QTest::newRow("another field") << other << group << false << -1 << QByteArray("Anna Neu")
                                       << 0 << QByteArray("Anna Neu") << QByteArray("Familie");
        QTest::newRow("the same field, left open")
            << fn << renamed << false << -1 << QByteArray("Anna Anders") << 1
            << QByteArray("Anna Neu") << QByteArray();
        QTest::newRow("the same field, handset preferred")
            << fn << renamed << false << handset << QByteArray("Anna Neu") << 0
            << QByteArray("Anna Neu") << QByteArray();
        QTest::newRow("the same field, address book preferred")
            << fn << renamed << false << book << QByteArray("Anna Anders") << 0
            << QByteArray("Anna Anders") << QByteArray();
        QTest::newRow("changed twice") << other << group << true << -1 << QByteArray("Anna Alt")
                                       << 0 << QByteArray("Anna Neu") << QByteArray("Familie");
    }
    void cardChangedBeforeWrite()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, changedTwice);
        QFETCH(int, prefer);
        QFETCH(QByteArray, cardName);
        QFETCH(int, conflicts);
        const std::optional<q7::sync::Side> side =
            prefer < 0 ? std::nullopt : std::optional(q7::sync::Side(prefer));
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        write("anna.vcf", card("Anna Alt", "TEL;TYPE=cell:0171111\r\n"));
        q7::sync::VcardFolder folder(m_cards);
        QVERIFY(engine(side).run(folder).problems.isEmpty());
        m_sim->setEntry(1, simEntry(1, "Anna Neu", "0171111"));

        BusyFolder busy(m_cards);
        if (changedTwice) {
            busy.editAt = 2;
            busy.edit = [&] {
                write("anna.vcf",
                      read("anna.vcf")
                          .replace("TEL;TYPE=cell:0171111\r\n",
                                   "TEL;TYPE=cell:0171111\r\nTEL;TYPE=work:040 4444\r\n"));
            };
        }
        const q7::sync::SyncResult result =
            engine(side).run(busy, [&] { write("anna.vcf", read("anna.vcf").replace(from, to)); });
        QCOMPARE(result.problems.size(), changedTwice ? 1 : 0);
        QCOMPARE(result.conflictsLeft, conflicts);
        const QByteArray anna = read("anna.vcf");
        QVERIFY2(anna.contains("FN:" + cardName + "\r\n"), anna.constData());
        QVERIFY(anna.contains("EMAIL;TYPE=home:anna.alt@example.org\r\n"));
        QVERIFY(anna.contains("X-OTHER-PROGRAM:keeps this\r\n"));
        QCOMPARE(anna.contains("CATEGORIES:Familie"), to.startsWith("CATEGORIES"));

        const q7::sync::SyncResult next = engine(side).run(folder);
        QVERIFY2(next.problems.isEmpty(), qPrintable(next.problems.join(u'\n')));
        QCOMPARE(next.conflictsLeft, conflicts);
        QTEST(m_sim->entry(1).value(1), "handsetName");
        QTEST(m_sim->entry(1).value(2), "handsetGroup");
        QVERIFY(!read("anna.vcf").contains("FN:Anna Alt\r\n"));
        QCOMPARE(handsetNames().size(), 1);
        QCOMPARE(cardNames().size(), 1);
        QVERIFY(engine(side).plan(folder).first.inStep());
    }

    // The folder goes away while the sync writes it, after some of the
    // cards; the next run finishes the job: each contact once on each side,
    // one pair each in the state, and a run after that has nothing to do.
    void folderGoneThenRerun_data()
    {
        QTest::addColumn<int>("failAfter");
        QTest::newRow("at the first card") << 0;
        QTest::newRow("after two cards") << 2;
    }
    void folderGoneThenRerun()
    {
        QFETCH(int, failAfter);
        for (int i = 1; i <= 4; ++i)
            m_sim->setEntry(
                i, simEntry(i, "Handy " + QByteArray::number(i), "017100" + QByteArray::number(i)));
        for (int i = 1; i <= 3; ++i)
            write(QStringLiteral("karte%1.vcf").arg(i),
                  card("Karte " + QByteArray::number(i),
                       "TEL;TYPE=cell:017200" + QByteArray::number(i) + "\r\n"));
        BusyFolder gone(m_cards);
        gone.failAfter = failAfter;
        bool thrown = false;
        try {
            engine(std::nullopt).run(gone);
        } catch (const q7::Q7Error&) {
            thrown = true;
        }
        QVERIFY(thrown);
        QCOMPARE(cardNames().size(), 3 + failAfter);
        // The cards the handset took and the cards written are linked
        // already; only the cards not written are left to do.
        q7::sync::VcardFolder folder(m_cards);
        const auto [left, pairs] = engine(std::nullopt).plan(folder);
        QCOMPARE(pairs, 3 + failAfter);
        QCOMPARE(left.cardsNew, 4 - failAfter);
        QCOMPARE(left.handsetNew, 0);

        const q7::sync::SyncResult rerun = engine(std::nullopt).run(folder);
        QVERIFY2(rerun.problems.isEmpty(), qPrintable(rerun.problems.join(u'\n')));
        QStringList names = handsetNames();
        names.sort();
        const QStringList all{"Handy 1", "Handy 2", "Handy 3", "Handy 4",
                              "Karte 1", "Karte 2", "Karte 3"};
        QCOMPARE(names, all);
        QCOMPARE(cardNames(), all);
        const auto [after, pairsAfter] = engine(std::nullopt).plan(folder);
        QVERIFY(after.inStep());
        QCOMPARE(pairsAfter, 7);
    }

    // The folder's part moves the page's bar, card by card, reading and
    // writing; Anhalten between two cards ends it there, says so, and the
    // next sync does the rest.
    void folderProgressAndStop()
    {
        for (int i = 1; i <= 3; ++i)
            m_sim->setEntry(
                i, simEntry(i, "Handy " + QByteArray::number(i), "017100" + QByteArray::number(i)));
        for (int i = 1; i <= 2; ++i)
            write(QStringLiteral("karte%1.vcf").arg(i),
                  card("Karte " + QByteArray::number(i),
                       "TEL;TYPE=cell:017200" + QByteArray::number(i) + "\r\n"));
        q7::sync::VcardFolder folder(m_cards);
        RecordingHost host;
        q7::test::EngineSync engine{m_device, m_dir->path(), std::nullopt, &host};
        QStringList summary;
        const q7::sync::SyncResult stopped = engine.withRun(folder, [&](q7::sync::SyncRun& run) {
            run.prepare();
            host.onStep = [&](int done, int total) {
                if (done == 1 && total == 3)
                    run.stop();
            };
            const q7::sync::SyncResult result = run.carryOut();
            summary = run.summaryLines(result);
            return result;
        });
        using Steps = QList<std::pair<int, int>>;
        QCOMPARE(host.steps, (Steps{{0, 2}, {2, 2}, {0, 3}, {1, 3}}));
        QVERIFY(stopped.stopped);
        QCOMPARE(stopped.done.cardsNew, 1);
        QCOMPARE(stopped.done.handsetNew, 2);
        QVERIFY2(summary.last().startsWith("Angehalten"), qPrintable(summary.join(u'\n')));
        QCOMPARE(cardNames().size(), 3);

        host.steps.clear();
        host.onStep = nullptr;
        const q7::sync::SyncResult rerun = engine.run(folder);
        QVERIFY(!rerun.stopped && rerun.problems.isEmpty());
        QCOMPARE(host.steps.mid(host.steps.size() - 3), (Steps{{0, 2}, {1, 2}, {2, 2}}));
        QStringList names = handsetNames();
        names.sort();
        const QStringList all{"Handy 1", "Handy 2", "Handy 3", "Karte 1", "Karte 2"};
        QCOMPARE(names, all);
        QCOMPARE(cardNames(), all);
        const auto [after, pairs] = engine.plan(folder);
        QVERIFY(after.inStep());
        QCOMPARE(pairs, 5);
    }

    // The cards a sync changed and deleted, put back from their copy: under
    // their old names, byte for byte, after a plan that names them. The
    // next sync takes them as changed on the address book's side: the
    // handset gets them back, no card is written, nothing is doubled. A copy
    // an older version kept names no address book: --addressbook is needed,
    // and its cards find theirs by UID.
    void cardCopyPutBack_data()
    {
        QTest::addColumn<bool>("withOrigin");
        QTest::newRow("copy names its address book") << true;
        QTest::newRow("older copy without it") << false;
    }
    void cardCopyPutBack()
    {
        QFETCH(bool, withOrigin);
        m_sim->setEntry(1, simEntry(1, "Anna Alt", "0171111"));
        m_sim->setEntry(2, simEntry(2, "Bert Berg", "0302222"));
        const QByteArray anna = card("Anna Alt", "TEL;TYPE=cell:0171111\r\n");
        const QByteArray bert = card("Bert Berg", "TEL;TYPE=cell:0302222\r\n");
        write("anna.vcf", anna);
        write("bert.vcf", bert);
        QCOMPARE(sync().exitCode, 0);
        m_sim->setEntry(1, simEntry(1, "Anna Neu", "0171111"));
        m_sim->clearEntry(2);
        QCOMPARE(sync({"--allow-deletions"}).exitCode, 0);
        QVERIFY(read("anna.vcf").contains("FN:Anna Neu\r\n"));
        QVERIFY(!QFile::exists(QDir(m_cards).filePath("bert.vcf")));

        const Run listed = q7ctl({"snapshots"});
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.out.contains("c1  ") && listed.out.contains("2 Karten"),
                 listed.out.constData());
        const QString snapshots = m_dir->filePath("data/Norvik/Q7 Manager/snapshots");
        if (!withOrigin) {
            for (const QString& origin : QDir(snapshots).entryList({"*_cards_*.json"}))
                QVERIFY(QFile::remove(QDir(snapshots).filePath(origin)));
            const Run refused = q7ctl({"restore", "--snapshot", "c1"});
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains("--addressbook"), refused.err.constData());
        } else {
            QVERIFY2(listed.out.contains(QDir(m_cards).canonicalPath().toUtf8()),
                     listed.out.constData());
        }
        QStringList restore{"restore", "--snapshot", "c1"};
        if (!withOrigin)
            restore << "--addressbook" << m_cards;

        const QMap<QString, QByteArray> before = folderContent();
        const Run plan = q7ctl(restore + QStringList{"--dry-run"});
        QVERIFY2(plan.exitCode == 0, plan.err.constData());
        QVERIFY2(plan.out.contains("wird zurückgesetzt: Anna Alt") &&
                     plan.out.contains("kommt wieder: Bert Berg"),
                 plan.out.constData());
        QCOMPARE(folderContent(), before);

        const Run put = q7ctl(restore);
        QVERIFY2(put.exitCode == 0, put.err.constData());
        QCOMPARE(read("anna.vcf"), anna);
        // Its old name, or the one its UID gives when the copy names none.
        QCOMPARE(read(withOrigin ? "bert.vcf" : "bert-berg.vcf"), bert);
        QCOMPARE(folderContent().size(), 2);

        const QMap<QString, QByteArray> restored = folderContent();
        QCOMPARE(sync().exitCode, 0);
        QCOMPARE(handsetNames(), (QStringList{"Anna Alt", "Bert Berg"}));
        QCOMPARE(folderContent(), restored);
        m_sim->clearCommands();
        const Run again = sync();
        QVERIFY2(again.out.contains("Gleichstand"), again.out.constData());
        QCOMPARE(writesSent(), QList<QByteArray>());

        // Put back once more: nothing left to do, no file touched.
        const QMap<QString, qint64> times = folderTimes();
        const Run twice = q7ctl(restore);
        QVERIFY2(twice.exitCode == 0 && twice.out.contains("ist schon so: Anna Alt"),
                 twice.out.constData());
        QCOMPARE(folderTimes(), times);
    }

    // A card someone changes between the plan and its put is left alone
    // and named; the others go back.
    void cardCopyChangedMeanwhile()
    {
        const QByteArray anna = card("Anna Alt", "TEL;TYPE=cell:0171111\r\n");
        const QByteArray bert = card("Bert Berg", "TEL;TYPE=cell:0302222\r\n");
        write("anna.vcf", card("Anna Neu", "TEL;TYPE=cell:0171111\r\n"));
        BusyFolder folder(m_cards);
        folder.editAt = 1;
        folder.edit = [&] { write("anna.vcf", card("Anna Anders", "TEL;TYPE=cell:0171111\r\n")); };
        const q7::LanguageFile texts;
        q7::sync::CardRestore restore(folder, {{"anna.vcf", anna}, {"bert.vcf", bert}}, texts,
                                      m_dir->filePath("state"));
        restore.plan();
        q7::OperationHost host;
        const q7::sync::CardRestore::Result result = restore.carryOut(host);
        QCOMPARE(result.restored, 1);
        QCOMPARE(result.problems.size(), 1);
        QVERIFY2(result.problems.first().contains(u"Anna Alt"),
                 qPrintable(result.problems.first()));
        QVERIFY(read("anna.vcf").contains("FN:Anna Anders\r\n"));
        QCOMPARE(read("bert.vcf"), bert);
    }

private:
    q7::test::EngineSync engine(std::optional<q7::sync::Side> prefer)
    {
        return {m_device, m_dir->path(), prefer};
    }

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
    QList<QByteArray> writesSent() const { return q7::test::handsetWrites(m_sim->commands()); }
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
