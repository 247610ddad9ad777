// The window's transfers against the simulated handset: the search at
// start, reading, writing, erasing, and the CSV file.

#include "app/MainWindow.h"
#include "base/PcText.h"
#include "base/RegistryKey.h"
#include "fileio/CsvPhonebook.h"
#include "link/ComPort.h"
#include "phonebook/ui/PhonebookTrees.h"
#include "simhandset.h"
#include "support/ScriptedDialogs.h"
#include "support/SimFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
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
        m_dir = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
        // Not the first start: no disclaimer.
        openRegistryKey(kProgramKey)->setValue(QStringLiteral("StartZaehler"), 1);
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_override = std::make_unique<DialogsOverride>(*m_dialogs);
        m_sim = std::make_unique<q7sim::SimHandset>();
        m_sim->setEntry(3, simEntry(3, "Zoe", "0301", "Familie"));
        m_sim->setEntry(12, simEntry(12, "J|rg", "0302", "Freunde"));
        m_sim->setEntry(505, simEntry(505, "anna"));
    }

    void cleanup()
    {
        m_window.reset();
        m_sim.reset();
        m_override.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    void searchAtStartEnablesTheDataButtons()
    {
        startWindow();
        for (const char* name : {"Btn_DatenLesen", "Btn_Datenschreiben", "Btn_Loeschen"})
            QVERIFY2(button(name)->isEnabled(), name);
        QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("Vexa TLM-Q7 gefunden..."));
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
        m_window->Btn_DatenLesenClick();
        QCOMPARE(enabledDuringRead, (QList<bool>{false, false, false, false}));
        QVERIFY(button("Btn_Datenladen")->isEnabled());
        QVERIFY(button("Btn_DatenLesen")->isEnabled());

        QCOMPARE(m_window->recordStore().field(12, Name), encodePc(u"Jörg"));
        const QStringList phonebook = treeTexts(tree("TV_Telefonbuch"));
        QVERIFY(phonebook.indexOf(QStringLiteral("anna")) <
                phonebook.indexOf(QStringLiteral("Jörg")));
        QVERIFY(phonebook.indexOf(QStringLiteral("Jörg")) <
                phonebook.indexOf(QStringLiteral("Zoe")));
        QVERIFY(treeTexts(tree("TV_FirstNine")).contains(QStringLiteral("anna")));
        QCOMPARE(m_window->groupList().names(), (QList<QByteArray>{"Familie", "Freunde"}));
        QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("Ruhezustand"));
    }

    void cancelledReadLeavesStoreAndTreesAsTheyWere()
    {
        startWindow();
        m_window->Btn_DatenLesenClick();
        const RecordStore before = m_window->recordStore();
        const QStringList treeBefore = treeTexts(tree("TV_Telefonbuch"));

        m_sim->setEntry(12, simEntry(12, "Neu"));
        m_sim->setSilent(true);
        m_dialogs->queueAnswer(QMessageBox::Cancel); // the lost-link question
        m_window->Btn_DatenLesenClick();
        QVERIFY(m_window->recordStore() == before);
        QCOMPARE(treeTexts(tree("TV_Telefonbuch")), treeBefore);
        QCOMPARE(m_dialogs->callsOf(ScriptedDialogs::Kind::Message).size(), 1); // no error box
    }

    void brokenFileChangesNothing()
    {
        startWindow();
        m_window->Btn_DatenLesenClick();
        const RecordStore before = m_window->recordStore();
        const QStringList treeBefore = treeTexts(tree("TV_Telefonbuch"));

        const QString path = writeFile("broken.csv", csvLine(1, "Eins") + "zwei,\"Zwei\"\r\n");
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenladenClick();
        QVERIFY(m_window->recordStore() == before);
        QCOMPARE(treeTexts(tree("TV_Telefonbuch")), treeBefore);
        const auto boxes = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, QStringLiteral("Vexa Q7 Manager"));
        // The box names the bad text and the line it stands in; ")" sorts
        // before ".", so no period follows.
        QCOMPARE(boxes[0].text, QStringLiteral("'zwei' ist kein gültiger Integerwert (Zeile 2)"));
    }

    void exportAndImportStartInTheFolderLastUsed()
    {
        startWindow();
        m_window->Btn_DatenLesenClick();
        const QString path = m_dir->filePath(QStringLiteral("sub/backup.csv"));
        QDir(m_dir->path()).mkdir(QStringLiteral("sub"));
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenspeichernClick();
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenladenClick();
        QCOMPARE(m_dialogs->startFolders(),
                 (QStringList{QDir::homePath(), QFileInfo(path).absolutePath()}));
        QCOMPARE(m_window->recordStore().field(12, Name), encodePc(u"Jörg"));
        QVERIFY(m_dialogs->callsOf(ScriptedDialogs::Kind::Message).isEmpty());
    }

    // What the handset gave, saved as vCard, comes back whole in a second,
    // empty phonebook: as new entries, changed, and with a report to read.
    void vcardFromTheHandsetImportsIntoAnEmptyPhonebook()
    {
        startWindow();
        m_window->Btn_DatenLesenClick();
        const auto read = std::make_unique<RecordStore>(m_window->recordStore());
        const QString path = m_dir->filePath(QStringLiteral("phonebook.vcf"));
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenspeichernClick();
        QVERIFY(m_window->recordStore() == *read);
        QVERIFY(QFile(path).size() > 0);

        TFrm_Q7_Manager second(m_dir->filePath(QStringLiteral("absent.ini")));
        m_dialogs->queueFileName(path);
        m_dialogs->queueAnswer(QMessageBox::Yes); // into the handset memory
        QString title;
        QString report;
        m_dialogs->queueDialog([&](QDialog& dialog) {
            title = dialog.windowTitle();
            report = dialog.findChild<QPlainTextEdit*>()->toPlainText();
            return int(QDialog::Accepted);
        });
        second.Btn_DatenladenClick();
        // The buttons say where the cards go; Yes is the handset memory.
        const ScriptedDialogs::Call target =
            m_dialogs->callsOf(ScriptedDialogs::Kind::Message).last();
        QCOMPARE(target.captions, (Dialogs::ButtonCaptions{{QMessageBox::Yes, "&Handyspeicher"},
                                                           {QMessageBox::No, "&SIM-Karte"}}));
        QCOMPARE(title, QStringLiteral("Import-Bericht"));
        QCOMPARE(report, QStringLiteral("Angelegte Einträge: 3"));

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
            writeFile("import.csv", csvLine(7, "Sieben") + csvLine(520, "Zwanzig"));
        m_dialogs->queueFileName(path);
        m_window->Btn_DatenladenClick();

        setWriteOnlyChanged(false);
        m_window->Btn_DatenschreibenClick();
        QCOMPARE(m_sim->entry(7).value(1), QByteArray("Sieben"));
        QCOMPARE(m_sim->entry(520).value(1), QByteArray("Zwanzig"));
        QVERIFY(m_dialogs->callsOf(ScriptedDialogs::Kind::Message).isEmpty());

        q7sim::SimOptions options = m_sim->options();
        options.refuseExtendedWrite = true;
        m_sim->setOptions(options);
        m_window->Btn_DatenschreibenClick();
        const auto boxes = m_dialogs->callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].text, QStringLiteral("2 Datensätze wurden nicht übertragen: 7, 520"));
    }

    void eraseAsksFirst()
    {
        startWindow();
        m_dialogs->queueAnswer(QMessageBox::No);
        m_window->Btn_LoeschenClick();
        QVERIFY(!m_sim->entry(3).isEmpty());

        m_window->Btn_DatenLesenClick();
        const QStringList treeBefore = treeTexts(tree("TV_Telefonbuch"));
        m_dialogs->queueAnswer(QMessageBox::Yes);
        m_window->Btn_LoeschenClick();
        const auto question = m_dialogs->callsOf(ScriptedDialogs::Kind::Message).last();
        QCOMPARE(question.title, QStringLiteral("Achtung!"));
        QVERIFY(m_sim->entry(3).isEmpty() && m_sim->entry(505).isEmpty());
        // The trees still show what was read until the next read.
        QCOMPARE(treeTexts(tree("TV_Telefonbuch")), treeBefore);
        QCOMPARE(m_window->statusPanel(0)->text(), QStringLiteral("Handy gelöscht: 3 Einträge"));
    }

private:
    void startWindow()
    {
        m_window = std::make_unique<TFrm_Q7_Manager>(m_dir->filePath(QStringLiteral("absent.ini")));
        m_window->comPort().setDeviceOverride(m_sim->start());
        QSignalSpy searched(m_window.get(), &TFrm_Q7_Manager::searchFinished);
        m_window->show();
        QVERIFY(searched.wait(5000));
        QCOMPARE(searched.first().first().toBool(), true);
    }

    QPushButton* button(const char* name) const
    {
        return m_window->findChild<QPushButton*>(QLatin1String(name));
    }
    QTreeWidget* tree(const char* name) const
    {
        return m_window->findChild<QTreeWidget*>(QLatin1String(name));
    }
    void setWriteOnlyChanged(bool on)
    {
        m_window->findChild<QCheckBox*>(QStringLiteral("CB_NurGeaenderte"))->setChecked(on);
    }
    QString writeFile(const char* name, const QByteArray& content)
    {
        const QString path = m_dir->filePath(QLatin1String(name));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<DialogsOverride> m_override;
    std::unique_ptr<q7sim::SimHandset> m_sim;
    std::unique_ptr<TFrm_Q7_Manager> m_window;
};

QTEST_MAIN(TestTransfers)
#include "tst_transfers.moc"
