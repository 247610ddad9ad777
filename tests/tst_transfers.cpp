// SPDX-License-Identifier: GPL-3.0-or-later
// The window's transfers against the simulated handset: the search at
// start, reading, writing, erasing, and the CSV file.

#include "SimHandset.h"
#include "app/frame/MainWindow.h"
#include "app/phonebook/SnapshotsDialog.h"
#include "app/transfers/WritePlanDialog.h"
#include "base/PcText.h"
#include "fileio/CsvPhonebook.h"
#include "fileio/Snapshots.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "support/SimFixture.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using namespace q7;

namespace {

// Everything the trees show, as text: a change anywhere shows up.
QStringList treeTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        texts << (*it)->text(0);
    return texts;
}

QByteArray csvLine(int record, const QByteArray& name)
{
    return QByteArray::number(record) + ",\"" + name +
           "\",\"Familie\",\"TELNO\",\"Mobil\",\"0301\",\"TELNO\",\"\",\"\",\"TELNO\",\"\",\"\","
           "\"CUSTOM\",\"\",\"\",\"CUSTOM\",\"\",\"\"\r\n";
}

} // namespace

class TestTransfers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_f = std::make_unique<WindowFixture>();
        m_f->sim.setEntry(3, simEntry(3, "Zoe", "0301", "Familie"));
        m_f->sim.setEntry(12, simEntry(12, "J|rg", "0302", "Freunde"));
        m_f->sim.setEntry(505, simEntry(505, "anna"));
    }

    void cleanup() { m_f.reset(); }

    void searchAtStartEnablesTheDataButtons()
    {
        startWindow();
        for (const char* name : {"Btn_DatenLesen", "Btn_Datenschreiben", "Btn_Loeschen"})
            QVERIFY2(button(name)->isEnabled(), name);
        QCOMPARE(m_f->window->statusPanel(0)->text(), QStringLiteral("Vexa TLM-Q7 gefunden..."));
    }

    void readFillsBothTreesWithControlsLockedMeanwhile()
    {
        startWindow();
        QList<bool> enabledDuringRead;
        QTimer::singleShot(5, [&] {
            for (const char* name :
                 {"Btn_Datenladen", "Btn_DatenLesen", "Btn_NeuerEintrag", "Btn_ComTest"})
                enabledDuringRead << button(name)->isEnabled();
        });
        m_f->read();
        QCOMPARE(enabledDuringRead, (QList<bool>{false, false, false, false}));
        QVERIFY(button("Btn_Datenladen")->isEnabled());
        QVERIFY(button("Btn_DatenLesen")->isEnabled());

        QCOMPARE(m_f->window->recordStore().field(12, Name), encodePc(u"Jörg"));
        const QStringList phonebook = treeTexts(tree("TV_Telefonbuch"));
        QVERIFY(phonebook.indexOf(QStringLiteral("anna")) <
                phonebook.indexOf(QStringLiteral("Jörg")));
        QVERIFY(phonebook.indexOf(QStringLiteral("Jörg")) <
                phonebook.indexOf(QStringLiteral("Zoe")));
        QVERIFY(treeTexts(tree("TV_FirstNine")).contains(QStringLiteral("anna")));
        QCOMPARE(m_f->window->groupList().names(), (QList<QByteArray>{"Familie", "Freunde"}));
        QCOMPARE(m_f->window->statusPanel(0)->text(), QStringLiteral("Ruhezustand"));
    }

    void cancelledReadLeavesStoreAndTreesAsTheyWere()
    {
        startWindow();
        m_f->read();
        const RecordStore before = m_f->window->recordStore();
        const QStringList treeBefore = treeTexts(tree("TV_Telefonbuch"));

        m_f->sim.setEntry(12, simEntry(12, "Neu"));
        m_f->sim.setSilent(true);
        m_f->dialogs.queueAnswer(QMessageBox::Cancel); // the lost-link question
        m_f->read();
        QVERIFY(m_f->window->recordStore() == before);
        QCOMPARE(treeTexts(tree("TV_Telefonbuch")), treeBefore);
        QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 1); // no error box
    }

    void brokenFileChangesNothing()
    {
        startWindow();
        m_f->read();
        const RecordStore before = m_f->window->recordStore();
        const QStringList treeBefore = treeTexts(tree("TV_Telefonbuch"));

        const QString path = m_f->writeFile("broken.csv", csvLine(1, "Eins") + "zwei,\"Zwei\"\r\n");
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenladenClick();
        QVERIFY(m_f->window->recordStore() == before);
        QCOMPARE(treeTexts(tree("TV_Telefonbuch")), treeBefore);
        const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Vexa Q7 Manager"));
        // The box names the bad text and the line it stands in; ")" sorts
        // before ".", so no period follows.
        QCOMPARE(boxes[0].text, QStringLiteral("'zwei' ist kein gültiger Integerwert (Zeile 2)"));
    }

    void exportAndImportStartInTheFolderLastUsed()
    {
        startWindow();
        m_f->read();
        const QString path = m_f->filePath(QStringLiteral("sub/backup.csv"));
        QDir(m_f->dir.path()).mkdir(QStringLiteral("sub"));
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenspeichernClick();
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenladenClick();
        QCOMPARE(m_f->dialogs.startFolders(),
                 (QStringList{QDir::homePath(), QFileInfo(path).absolutePath()}));
        QCOMPARE(m_f->window->recordStore().field(12, Name), encodePc(u"Jörg"));
        QVERIFY(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).isEmpty());
    }

    // What the handset gave, saved as vCard, comes back whole in a second,
    // empty phonebook: as new entries, changed, and with a report to read.
    void vcardFromTheHandsetImportsIntoAnEmptyPhonebook()
    {
        startWindow();
        m_f->read();
        const auto read = std::make_unique<RecordStore>(m_f->window->recordStore());
        const QString path = m_f->filePath(QStringLiteral("phonebook.vcf"));
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenspeichernClick();
        QVERIFY(m_f->window->recordStore() == *read);
        QVERIFY(QFile(path).size() > 0);

        TFrm_Q7_Manager second(m_f->filePath(QStringLiteral("absent.ini")));
        m_f->dialogs.queueFileName(path);
        m_f->dialogs.queueAnswer(QMessageBox::Yes); // into the handset memory
        QString title;
        QString report;
        m_f->dialogs.queueDialog([&](QDialog& dialog) {
            title = dialog.windowTitle();
            report = dialog.findChild<QPlainTextEdit*>()->toPlainText();
            return int(QDialog::Accepted);
        });
        second.Btn_DatenladenClick();
        // The buttons say where the cards go; Yes is the handset memory.
        const ScriptedDialogs::Call target =
            m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).last();
        QCOMPARE(target.captions, (Dialogs::ButtonCaptions{{QMessageBox::Yes, "&Handyspeicher"},
                                                           {QMessageBox::No, "&SIM-Karte"}}));
        QCOMPARE(title, QStringLiteral("Import-Bericht"));
        QCOMPARE(report, QStringLiteral("Angelegte Einträge: 3\nNichts gekürzt, ersetzt oder "
                                        "ausgelassen."));

        const RecordStore& imported = second.recordStore();
        const QList<int> from{3, 12, 505};
        for (int i = 0; i < from.size(); ++i) {
            for (const int field : {int(Name), int(Gruppe), int(Nummernart1), int(Nummer1)})
                QCOMPARE(imported.field(i + 1, field), read->field(from[i], field));
            QVERIFY(imported.isChanged(i + 1));
        }
        QVERIFY(!imported.holdsEntry(4));
        QVERIFY(second.hasUnsavedEdits());
        QVERIFY(second.findChild<QTreeWidget*>(QStringLiteral("TV_Telefonbuch"))
                    ->findItems(QStringLiteral("Jörg"), Qt::MatchRecursive)
                    .size() == 1);
    }

    void writeAfterImportSendsEveryRecordAndNamesRefusals()
    {
        startWindow();
        const QString path =
            m_f->writeFile("import.csv", csvLine(7, "Sieben") + csvLine(520, "Zwanzig"));
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenladenClick();

        m_f->setWriteOnlyChanged(false);
        // Never read: the plan offers to read first; this one writes without.
        m_f->answerPlan(WritePlanDialog::Write);
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(m_f->planLines.size(), 2);
        QCOMPARE(m_f->sim.entry(7).value(1), QByteArray("Sieben"));
        QCOMPARE(m_f->sim.entry(520).value(1), QByteArray("Zwanzig"));
        QVERIFY(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).isEmpty());

        q7sim::SimOptions options = m_f->sim.options();
        options.refuseExtendedWrite = true;
        m_f->sim.setOptions(options);
        m_f->answerPlan(WritePlanDialog::Write);
        m_f->window->Btn_DatenschreibenClick();
        const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("2 Datensätze wurden nicht übertragen: 7, 520"));
    }

    // Never read, a new SIM entry written without reading: the position the
    // window gave it holds another's entry on the handset. That entry stays,
    // the new one goes to a free position, and the report says so.
    void writeWithoutReadingKeepsEveryEntryOfTheHandset()
    {
        m_f->sim.setEntry(510, simEntry(510, "Bert", "0303"));
        startWindow();
        addEntry(QStringLiteral("Neu"), QStringLiteral("0401"));
        m_f->answerPlan(WritePlanDialog::Write); // "Ohne Lesen schreiben"
        m_f->window->Btn_DatenschreibenClick();

        const QList<std::pair<int, QByteArray>> held = {
            {3, "Zoe"}, {12, "J|rg"}, {505, "anna"}, {510, "Bert"}, {511, "Neu"}};
        for (const auto& [location, name] : held)
            QCOMPARE(m_f->sim.entry(location).value(1), name);
        QCOMPARE(m_f->sim.phonebook().size(), held.size());
        const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("1 Eintrag geschrieben\n"
                                               "Neu steht jetzt auf Speicherplatz 511, denn "
                                               "Speicherplatz 510 hält den Eintrag „Bert“, den "
                                               "das Fenster nicht kannte"));
        // The window shows the entry where it went.
        const RecordStore& store = m_f->window->recordStore();
        QCOMPARE(store.field(511, Name), QByteArray("Neu"));
        QVERIFY(!store.holdsEntry(510));
        QVERIFY(treeTexts(tree("TV_Telefonbuch")).contains(QStringLiteral("511")));
    }

    // After a write the window holds what the handset does: nothing is
    // marked changed, and a second write sends nothing.
    void aSecondWriteSendsNothing()
    {
        startWindow();
        m_f->read();
        addEntry(QStringLiteral("Neu"), QStringLiteral("0401"));
        m_f->answerPlan(WritePlanDialog::Write);
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(m_f->sim.entry(510).value(1), QByteArray("Neu"));
        QVERIFY(!m_f->window->recordStore().isChanged(510));
        const QList<QTreeWidgetItem*> shown =
            tree("TV_Telefonbuch")->findItems(QStringLiteral("Neu"), Qt::MatchRecursive);
        QCOMPARE(shown.size(), 1);
        QVERIFY(!shown[0]->font(0).bold());

        m_f->sim.clearCommands();
        m_f->dialogs.clearCalls();
        m_f->window->Btn_DatenschreibenClick();
        QVERIFY(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Dialog).isEmpty());
        QVERIFY(m_f->sim.commands().isEmpty());
        QCOMPARE(m_f->window->statusPanel(0)->text(),
                 QStringLiteral("Nichts zu schreiben: das Handy hält schon, was das Fenster "
                                "zeigt."));
    }

    void eraseAsksFirst()
    {
        startWindow();
        m_f->dialogs.queueAnswer(QMessageBox::No);
        m_f->window->Btn_LoeschenClick();
        QVERIFY(!m_f->sim.entry(3).isEmpty());

        m_f->read();
        const QStringList treeBefore = treeTexts(tree("TV_Telefonbuch"));
        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_LoeschenClick();
        const auto question = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).last();
        QCOMPARE(question.title, QStringLiteral("Achtung!"));
        QVERIFY(m_f->sim.entry(3).isEmpty() && m_f->sim.entry(505).isEmpty());
        // The trees still show what was read until the next read.
        QCOMPARE(treeTexts(tree("TV_Telefonbuch")), treeBefore);
        QCOMPARE(m_f->window->statusPanel(0)->text(), QStringLiteral("Handy gelöscht: 3 Einträge"));
    }

    // The handset emptied while the window still shows its entries: the
    // window holds the only copy, closing asks, and a write puts them back.
    void eraseThenWriteBringsEveryEntryBack()
    {
        startWindow();
        m_f->read();
        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_LoeschenClick();
        QVERIFY(m_f->sim.entry(3).isEmpty());
        QVERIFY(m_f->window->hasUnsavedEdits());
        QVERIFY(m_f->window->windowTitle().endsWith(QStringLiteral(" *")));

        m_f->dialogs.clearCalls();
        m_f->dialogs.queueAnswer(QMessageBox::No);
        QVERIFY(!m_f->window->close());
        QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).value(0).text,
                 QStringLiteral("3 Einträge hält das Handy nicht oder anders, als das Fenster "
                                "sie zeigt. Trotzdem fortfahren?"));

        m_f->answerPlan(WritePlanDialog::Write);
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(m_f->planLines.size(), 3);
        QCOMPARE(m_f->sim.entry(3).value(1), QByteArray("Zoe"));
        QCOMPARE(m_f->sim.entry(12).value(1), QByteArray("J|rg"));
        QCOMPARE(m_f->sim.entry(505).value(1), QByteArray("anna"));
        QVERIFY(!m_f->window->hasUnsavedEdits());

        // The read and the handset before the erase were kept; the empty
        // handset before the write holds nothing worth keeping.
        const QList<SnapshotInfo> kept = Snapshots().list();
        QCOMPARE(kept.size(), 1); // the same content is not stored twice
        QCOMPARE(kept[0].entries, 3);
    }

    // A backup of another phonebook loaded over what was read: the write
    // leaves the handset holding the file and nothing else.
    void loadedBackupReplacesTheHandset()
    {
        startWindow();
        m_f->read();
        const QString path =
            m_f->writeFile("backup.csv", csvLine(7, "Sieben") + csvLine(520, "Zwanzig"));
        m_f->dialogs.queueFileName(path);
        m_f->window->Btn_DatenladenClick();

        m_f->answerPlan(WritePlanDialog::Write);
        m_f->window->Btn_DatenschreibenClick();
        // Two new, three deleted: each one a line, the deleted ones by name
        // under what the file lacks.
        QCOMPARE(m_f->planLines.size(), 5);
        QCOMPARE(m_f->planHeading,
                 QStringLiteral("Einträge, die die Datei nicht enthält, werden gelöscht"));
        QCOMPARE(m_f->planLines.mid(2),
                 (QStringList{"  3  Zoe  gelöscht", " 12  Jörg  gelöscht", "505  anna  gelöscht"}));
        QCOMPARE(m_f->sim.entry(7).value(1), QByteArray("Sieben"));
        QCOMPARE(m_f->sim.entry(520).value(1), QByteArray("Zwanzig"));
        for (int location : {3, 12, 505})
            QVERIFY2(m_f->sim.entry(location).isEmpty(), qPrintable(QString::number(location)));
    }

    // The way back: the snapshot of the read, loaded after another phonebook
    // was written, and written in turn, gives the handset its entries again.
    void snapshotLoadedAndWrittenPutsTheHandsetBack()
    {
        loadedBackupReplacesTheHandset();
        QStringList listed;
        QStringList differences;
        m_f->dialogs.queueDialog([&](QDialog& dialog) {
            auto* snapshots = qobject_cast<SnapshotsDialog*>(&dialog);
            if (!snapshots)
                return int(QDialog::Rejected);
            for (int row = 0; row < snapshots->snapshotList()->topLevelItemCount(); ++row)
                listed << snapshots->snapshotList()->topLevelItem(row)->text(2);
            for (int row = 0; row < snapshots->differences()->count(); ++row)
                differences << snapshots->differences()->item(row)->text();
            return int(QDialog::Accepted);
        });
        m_f->window->findChild<QPushButton*>(QStringLiteral("Btn_Sicherungen"))->click();
        // The read and the handset before the write held the same: one snapshot.
        QCOMPARE(listed, QStringList{QStringLiteral("gelesen")});
        QCOMPARE(differences.size(), 1 + 5); // the counts, then two new and three gone
        QVERIFY(m_f->window->hasUnsavedEdits());

        m_f->answerPlan(WritePlanDialog::Write);
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(m_f->planLines.size(), 5);
        QCOMPARE(m_f->planHeading,
                 QStringLiteral("Einträge, die die Sicherung nicht enthält, werden gelöscht"));
        QCOMPARE(m_f->sim.entry(3).value(1), QByteArray("Zoe"));
        QCOMPARE(m_f->sim.entry(12).value(1), QByteArray("J|rg"));
        QCOMPARE(m_f->sim.entry(505).value(1), QByteArray("anna"));
        QVERIFY(m_f->sim.entry(7).isEmpty() && m_f->sim.entry(520).isEmpty());
    }

    // Cancelled plan: nothing is sent.
    void cancelledPlanSendsNothing()
    {
        startWindow();
        m_f->read();
        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_LoeschenClick();
        m_f->answerPlan(QDialog::Rejected);
        m_f->window->Btn_DatenschreibenClick();
        QVERIFY(m_f->sim.entry(3).isEmpty());
    }

    // "Anhalten" during a write: the record it is on is finished, none after.
    void stopMidWriteLeavesTheRestUnwritten()
    {
        startWindow();
        m_f->read();
        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_LoeschenClick();
        m_f->answerPlan(WritePlanDialog::Write);
        // Pressed as soon as the write waits for the handset's first answer.
        QTimer::singleShot(0, m_f->window.get(),
                           [this] { QTest::keyClick(m_f->window.get(), Qt::Key_Escape); });
        m_f->dialogs.clearCalls();
        m_f->window->Btn_DatenschreibenClick();
        int onHandset = 0;
        for (int location : {3, 12, 505})
            onHandset += m_f->sim.entry(location).isEmpty() ? 0 : 1;
        QVERIFY(onHandset >= 1 && onHandset < 3);
        const auto boxes = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        // What was written stands first, whole, as the status bar may cut it.
        QCOMPARE(boxes[0].text,
                 QStringLiteral("%1 geschrieben\nAngehalten nach %2 von 3; die übrigen wurden "
                                "nicht bearbeitet")
                     .arg(onHandset == 1 ? QStringLiteral("1 Eintrag")
                                         : QStringLiteral("%1 Einträge").arg(onHandset))
                     .arg(onHandset));
        QVERIFY(m_f->window->hasUnsavedEdits());
    }

private:
    void startWindow()
    {
        m_f->startOnSim();
        QCOMPARE(m_f->handsetFound(), true);
    }

    // "Neuer Eintrag" with a name and a first number, where the dialog puts
    // it: on the SIM card.
    void addEntry(const QString& name, const QString& number)
    {
        m_f->dialogs.queueDialog([&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Edt_Name"))->setText(name);
            dialog.findChild<QLineEdit*>(QStringLiteral("Edt_Nummer1"))->setText(number);
            dialog.findChild<QPushButton*>(QStringLiteral("Btn_Erstellen"))->click();
            return dialog.result();
        });
        m_f->window->Btn_NeuerEintragClick();
    }

    QPushButton* button(const char* name) const
    {
        return m_f->window->findChild<QPushButton*>(QLatin1String(name));
    }
    QTreeWidget* tree(const char* name) const
    {
        return m_f->window->findChild<QTreeWidget*>(QLatin1String(name));
    }

    std::unique_ptr<WindowFixture> m_f;
};

QTEST_MAIN(TestTransfers)
#include "tst_transfers.moc"
