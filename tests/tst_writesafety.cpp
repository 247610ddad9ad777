// SPDX-License-Identifier: GPL-3.0-or-later
// A write from the window keeps every entry it did not choose to delete:
// a window that never read the handset, a loaded file whose missing entries
// the user keeps, and note lines the handset drops, against the simulated
// handset.

#include "SimHandset.h"
#include "app/frame/MainWindow.h"
#include "app/transfers/WritePlanDialog.h"
#include "base/LanguageFile.h"
#include "phonebook/HandsetImage.h"
#include "support/SimFixture.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace q7;

namespace {

QByteArray csvLine(int record, const QByteArray& name)
{
    return QByteArray::number(record) + ",\"" + name +
           "\",\"\",\"TELNO\",\"Mobil\",\"0301\",\"TELNO\",\"\",\"\",\"TELNO\",\"\",\"\","
           "\"CUSTOM\",\"\",\"\",\"CUSTOM\",\"\",\"\"\r\n";
}

// The handset's own entries, and 510, the SIM position a new entry of a
// window that never read the handset takes first.
const QList<int> kHeld{3, 12, 505, 510};

} // namespace

class TestWriteSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init()
    {
        m_f = std::make_unique<WindowFixture>();
        m_f->sim.setEntry(3, simEntry(3, "Zoe", "0301"));
        m_f->sim.setEntry(12, simEntry(12, "J|rg", "0302"));
        m_f->sim.setEntry(505, simEntry(505, "anna", "0303"));
        m_f->sim.setEntry(510, simEntry(510, "Olga", "0304"));
        m_f->startOnSim();
        QVERIFY(m_f->handsetFound());
    }

    void cleanup() { m_f.reset(); }

    // Never read, a new SIM entry, "Zuerst lesen", then "Schreiben": the
    // handset holds every entry it held, the new one at a free position,
    // and the window shows them all.
    void readFirstKeepsEveryEntry()
    {
        newSimEntry("Neu");
        m_f->answerPlan(WritePlanDialog::ReadFirst);
        QStringList neverRead;
        m_f->dialogs.queueDialog([&](QDialog& dialog) {
            neverRead = m_f->planLines; // the first plan's, gathered by answerPlan
            m_f->answerPlan(WritePlanDialog::Write);
            return m_f->dialogs.execDialog(dialog);
        });
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(neverRead, QStringList{"510  Neu  neu"});
        QCOMPARE(m_f->planLines,
                 QStringList{"511  Neu  neu; Speicherplatz 510 hält auf dem Handy schon Olga"});

        for (int location : kHeld)
            QVERIFY2(!m_f->sim.entry(location).isEmpty(), qPrintable(QString::number(location)));
        QCOMPARE(m_f->sim.entry(510).value(1), QByteArray("Olga"));
        QCOMPARE(m_f->sim.entry(511).value(1), QByteArray("Neu"));
        QCOMPARE(m_f->sim.phonebook().size(), kHeld.size() + 1);
        const RecordStore& store = m_f->window->recordStore();
        for (int location : kHeld)
            QVERIFY(store.isLive(location));
        QCOMPARE(store.field(511, Name), QByteArray("Neu"));
        QVERIFY(!m_f->window->hasUnsavedEdits());
    }

    // A loaded file replaces the window's phonebook: what it lacks is named
    // in the plan, and goes only when the user does not keep it.
    void loadedFileLacksEntries_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::newRow("deleted") << false;
        QTest::newRow("kept") << true;
    }
    void loadedFileLacksEntries()
    {
        QFETCH(bool, keep);
        m_f->read();
        m_f->dialogs.queueFileName(
            m_f->writeFile("backup.csv", csvLine(3, "Zoe") + csvLine(7, "Sieben")));
        m_f->window->Btn_DatenladenClick();
        m_f->answerPlan(WritePlanDialog::Write, keep);
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(m_f->planHeading,
                 QStringLiteral("Einträge, die die Datei nicht enthält, werden gelöscht"));
        QCOMPARE(
            m_f->planLines.mid(m_f->planLines.size() - 3),
            (QStringList{" 12  Jörg  gelöscht", "505  anna  gelöscht", "510  Olga  gelöscht"}));

        QCOMPARE(m_f->sim.entry(7).value(1), QByteArray("Sieben"));
        for (int location : {12, 505, 510}) {
            QCOMPARE(m_f->sim.entry(location).isEmpty(), !keep);
            QCOMPARE(m_f->window->recordStore().isLive(location), keep);
        }
        // Written, the file no longer stands for the handset: the next write
        // deletes nothing the window does not name.
        QVERIFY(!m_f->window->hasUnsavedEdits());
        m_f->window->recordStore().clearEntry(7);
        m_f->window->Btn_DatenschreibenClick();
        QCOMPARE(m_f->sim.entry(7).value(1), QByteArray("Sieben"));
    }

    // Read, erase, write: the question about the note lines counts every
    // entry sent with them, though none is flagged changed; the window then
    // marks the lines it alone holds, and closing offers to save them.
    void noteLinesTheHandsetDrops()
    {
        QList<QByteArray> withNotes = simEntry(12, "J|rg", "0302");
        withNotes[14] = "Hinterhaus";
        m_f->sim.setEntry(12, withNotes);
        QList<QByteArray> otherNotes = simEntry(3, "Zoe", "0301");
        otherNotes[16] = "Nur abends";
        m_f->sim.setEntry(3, otherNotes);
        m_f->read();
        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_LoeschenClick();

        m_f->dialogs.clearCalls();
        m_f->dialogs.queueAnswer(QMessageBox::Yes);
        m_f->window->Btn_DatenschreibenClick();
        const auto asked = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QVERIFY(!asked.isEmpty());
        QCOMPARE(asked[0].title, QStringLiteral("Zusatzzeilen gehen verloren"));
        QVERIFY2(asked[0].text.contains(QStringLiteral("Betroffen: 2 Einträge (Zoe, Jörg)")),
                 qPrintable(asked[0].text));
        QCOMPARE(m_f->sim.phonebook().size(), kHeld.size());
        QVERIFY(m_f->sim.entry(12).value(14).isEmpty());

        const QString onlyHere = QStringLiteral(
            "Das Handy hat diese Zusatzzeile nicht übernommen: sie steht nur im Fenster.");
        const auto notes =
            m_f->window->findChild<QTreeWidget*>(QStringLiteral("TV_Telefonbuch"))
                ->findItems(QStringLiteral("Hinterhaus"), Qt::MatchRecursive | Qt::MatchExactly);
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0]->toolTip(0), onlyHere);
        QVERIFY(m_f->window->hasUnsavedEdits());

        m_f->dialogs.clearCalls();
        m_f->dialogs.queueAnswer(QMessageBox::Cancel);
        QVERIFY(!m_f->window->close());
        const auto closing = m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message);
        QCOMPARE(closing.size(), 1);
        QCOMPARE(closing[0].text,
                 QStringLiteral("2 Einträge hält das Handy ohne ihre Zusatzzeilen (Zoe, Jörg): "
                                "die Zeilen stehen nur im Fenster und gehen beim Beenden "
                                "verloren. Vorher in einer Datei speichern?"));

        // Saved, they are no longer the window's alone: closing asks nothing.
        const QString path = m_f->filePath(QStringLiteral("notes.csv"));
        m_f->dialogs.queueAnswer(QMessageBox::Save);
        m_f->dialogs.queueFileName(path);
        m_f->dialogs.clearCalls();
        QVERIFY(m_f->window->close());
        QCOMPARE(m_f->dialogs.callsOf(ScriptedDialogs::Kind::Message).size(), 1);
        QVERIFY(QFile(path).size() > 0);
    }

    // The plan's lines stay inside the dialog: a long name and several
    // changed fields wrap, and the box that keeps the entries a file lacks
    // changes the counts it shows.
    void planDialogWrapsAndKeeps()
    {
        RecordStore read;
        for (int location : {4, 9}) {
            read.setField(location, Speicherplatz, QByteArray::number(location));
            read.setField(location, Name, "Bertha Henriette von Oberhausen");
            read.setField(location, Nummer1, "0301234567");
        }
        HandsetImage image;
        image.takeRead(read);
        RecordStore store = read;
        store.clearEntry(9);
        store.setField(4, Name, "Bertold Maximilian Mustermann");
        store.setField(4, Gruppe, "Sportverein Oberhausen Nord");
        store.setField(4, Nummer1, "+4930123456789012345678901");
        store.setField(7, Speicherplatz, "7");
        store.setField(7, Name, "Friederike Adelheid Sonnenschein");
        WritePlan plan = planWrite(store, image, true, true);
        for (PlanItem& item : plan.items)
            item.movedFrom = item.record == 7 ? 9 : 0;
        // The dialog keeps the texts it was given: they must outlive it.
        const LanguageFile texts;
        WritePlanDialog dialog(plan, store, image, texts, Replacement::File);
        dialog.resize(520, 400);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListWidget* list = dialog.list();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text().count(u'\n'), 3); // a field a line
        const QString moved = list->item(1)->text();
        // On one line it would not fit.
        QVERIFY(list->fontMetrics().horizontalAdvance(moved) > list->viewport()->width());
        for (int row = 0; row < list->count(); ++row)
            QVERIFY2(list->visualItemRect(list->item(row)).width() <= list->viewport()->width(),
                     qPrintable(list->item(row)->text()));

        auto* counts = dialog.findChild<QLabel*>(QStringLiteral("Lbl_Summe"));
        QCOMPARE(counts->text(), QStringLiteral("1 neu, 1 geändert, 1 gelöscht, 0 unverändert"));
        dialog.keepBox()->setChecked(true);
        QVERIFY(dialog.keepsUnnamed());
        QCOMPARE(counts->text(), QStringLiteral("1 neu, 1 geändert, 0 gelöscht, 1 unverändert"));
    }

    // Every line the list shows has the height its wrapped text needs, at
    // the top and after a jump to the end of a long plan: names of wide
    // letters wrap where lines of average letters would not.
    void planLinesShowWhole()
    {
        RecordStore read;
        for (int location = 1; location <= 300; ++location) {
            read.setField(location, Speicherplatz, QByteArray::number(location));
            read.setField(location, Name, QByteArray(30, 'W'));
            read.setField(location, Nummer1, "0301234567");
        }
        HandsetImage image;
        image.takeRead(read);
        RecordStore store = read;
        for (int location = 1; location <= 300; ++location) {
            store.setField(location, Name, QByteArray(location % 2 ? 30 : 5, 'M'));
            store.setField(location, Gruppe, "Sportverein Oberhausen Nord");
            store.setField(location, ChangedFlag, kChangedYes);
        }
        const LanguageFile texts;
        WritePlanDialog dialog(planWrite(store, image, true), store, image, texts);
        dialog.resize(520, 400);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListWidget* list = dialog.list();
        QCOMPARE(list->count(), 300);
        const auto shownWhole = [list] {
            const QRect view = list->viewport()->rect();
            const QFontMetrics metrics(list->font());
            for (int row = 0; row < list->count(); ++row) {
                const QRect shown = list->visualItemRect(list->item(row));
                if (!shown.intersects(view))
                    continue;
                const QRect needed = metrics.boundingRect(
                    QRect(0, 0, view.width(), 1 << 20), Qt::TextWordWrap, list->item(row)->text());
                if (shown.height() < needed.height())
                    return false;
            }
            return true;
        };
        QTRY_VERIFY(shownWhole());
        list->scrollToBottom();
        QTRY_VERIFY(shownWhole());
    }

private:
    void newSimEntry(const QString& name)
    {
        m_f->dialogs.queueDialog([name](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("Edt_Name"))->setText(name);
            dialog.findChild<QPushButton*>(QStringLiteral("Btn_Erstellen"))->click();
            return dialog.result();
        });
        m_f->window->Btn_NeuerEintragClick();
    }

    std::unique_ptr<WindowFixture> m_f;
};

QTEST_MAIN(TestWriteSafety)
#include "tst_writesafety.moc"
